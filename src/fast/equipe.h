// Equipe de uma solução: as threads (feitas uma vez só), o sinal com que elas se esperam, o conjunto de instruções
// e os planos dos níveis.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

// Instruções das varreduras rápidas: automatico = as mais largas que o processador tem e que compensam.
enum class conjunto_instrucoes { automatico, escalar, avx2, avx512 };

struct planos_rapidos;

// Espera entre threads da passada rápida: um contador que só cresce, publicado por uma e esperado por outra.
struct sinal {
    alignas(64) std::atomic<long long> valor{0}; // linha de cache própria: quem publica não disputa com vizinhos
    std::atomic<int> dormindo{0};                // quantos esperam no futex
};

// Como esperar: tentar um pouco antes de dormir só vale com threads <= processadores.
enum class espera { tentar_antes, dormir_ja };

/// Publica v (maior que o valor anterior) e acorda quem dorme à espera.
void publicar(sinal& s, long long v);
/// Volta quando valor >= alvo: tenta alguns microssegundos (tentar_antes), depois dorme no futex.
void esperar(sinal& s, long long alvo, espera modo);

class equipe {
public:
    /// Cria até pedidas - 1 threads auxiliares; se o sistema recusar alguma, segue com as que conseguiu. As
    /// varreduras usam o conjunto `instrucoes` se o processador o tem, senão o melhor abaixo dele.
    explicit equipe(int pedidas, conjunto_instrucoes instrucoes = conjunto_instrucoes::automatico);
    ~equipe();
    equipe(const equipe&) = delete;
    equipe& operator=(const equipe&) = delete;

    /// Threads disponíveis, a que chama incluída (ao menos 1).
    int tamanho() const { return static_cast<int>(auxiliares_.size()) + 1; }
    /// Threads pedidas na criação.
    int pedidas() const { return pedidas_; }
    /// Como as threads desta equipe esperam umas pelas outras (tentar_antes se threads <= processadores).
    espera modo_espera() const { return girar_ ? espera::tentar_antes : espera::dormir_ja; }
    /// Conjunto de instruções das varreduras (o pedido, se o processador o tem; senão o melhor abaixo dele).
    conjunto_instrucoes instrucoes() const { return instrucoes_; }
    /// Conjunto de instruções dos núcleos pontuais (parcelas da norma).
    conjunto_instrucoes instrucoes_pontuais() const { return pontuais_; }
    /// tarefa(h) para h = 0..n-1 (n <= tamanho()), h = 0 na thread que chama; volta quando todas terminam.
    void executar(int n, const std::function<void(int)>& tarefa);
    /// Planos da passada rápida desta solução, um por nível (ver rapido.h).
    planos_rapidos& planos() { return *planos_; }

private:
    void trabalhar(int h);

    int pedidas_;
    bool girar_ = false;
    conjunto_instrucoes instrucoes_, pontuais_;
    std::unique_ptr<planos_rapidos> planos_;
    std::vector<std::thread> auxiliares_;
    const std::function<void(int)>* tarefa_ = nullptr;
    int participantes_ = 0;          // auxiliares que trabalham na geração corrente
    std::atomic<int> geracao_{0};    // muda a cada executar (e no encerramento)
    std::atomic<int> pendentes_{0};  // auxiliares da geração que ainda não terminaram
    bool encerrar_ = false;
};
