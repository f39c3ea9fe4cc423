// Leitor de valores do arquivo de entrada (leitura dirigida por lista): peça interna da leitura.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "run/execucao.h"

/// A unidade do arquivo de entrada nas mensagens de erro da leitura.
inline constexpr int unidade = 7;
/// Se o texto tem um caractere de controle (0-31 ou 127).
bool tem_controle(const std::string& s);
/// Texto de um valor para mensagens: bytes de controle como \xNN (o resto como está), encurtado a 40 caracteres.
std::string mostrar(const std::string& s);

// Falha na conversão de um valor: o tipo do erro ("value out of range", ...) e o detalhe; tipo vazio = aceito.
struct falha_valor {
    std::string tipo, detalhe;
    explicit operator bool() const { return !tipo.empty(); }
};
/// Inteiro de 32 bits com sinal opcional, o texto inteiro; v só muda quando aceito.
falha_valor converter_inteiro(const std::string& s, const char* nome, int& v);
/// Real com sinal, ponto e expoente E ou D opcionais, finito; v só muda quando aceito.
falha_valor converter_real(const std::string& s, const char* nome, double& v);
/// Texto de n caracteres (UTF-8 válido vira Latin-1), completado com brancos; cortes e perdas anotados em r;
/// em `escrito`, o texto como veio, no mesmo corte e sem brancos finais.
std::string converter_texto(const std::string& bruto, std::size_t n, valor_lido& r, std::string* escrito = nullptr);
/// O primeiro tamanho de níveis que passa de 32 bits ("nxg(25) = ..."), ou vazio.
std::string excesso_de_tamanho(int nm, int nx1, int ny1);
/// Os doze valores de um arquivo já aberto, com o registro de cada um (para os avisos).
std::vector<valor_lido> ler_registros(estado_execucao& e, std::FILE* f, const std::string& arquivo);

// O que se espera de um valor: um número (sem aspas, no máximo o limite) ou um texto (aspas aceitas, cortado no
// limite).
enum class forma_valor { numero, texto };

// Cada leitura começa numa linha nova e descarta o resto da linha; o que foi lido fica registrado para os avisos.
class leitor {
public:
    leitor(std::FILE* f, const std::string& arquivo) : f_(f), arquivo_(arquivo) {}

    /// Próximo valor cru; guarda até `limite` bytes (um número mais longo é erro; um texto é cortado).
    std::string valor(const char* nome, forma_valor forma, std::size_t limite);
    /// Erro fatal na linha corrente: "TIPO, unit 7, file F, line N: DETALHE".
    [[noreturn]] void erro(const std::string& tipo, const std::string& detalhe) const;
    /// Os valores lidos até agora, em ordem; o último pode ser ajustado por quem o interpreta.
    std::vector<valor_lido>& lidos() { return lidos_; }

private:
    int cru();
    int ler();
    void pular_linha(std::string& resto);
    int primeiro_caractere(const char* nome);
    void ler_entre_aspas(valor_lido& r, int delim, std::size_t limite);
    void ler_sem_aspas(valor_lido& r, int c, forma_valor forma, std::size_t limite);

    std::FILE* f_;
    const std::string& arquivo_;
    long long linha_ = 0;
    bool comeco_ = true;     // nada lido ainda: uma marca de ordem de bytes UTF-8 é pulada
    std::string devolvidos_; // bytes lidos a mais, o próximo no fim
    std::vector<valor_lido> lidos_;
};
