// Equipe de threads de uma solução: criada uma vez, reaproveitada por todas as passadas.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class equipe {
public:
    /// Cria até pedidas - 1 threads auxiliares; se o sistema recusar alguma, segue com as que conseguiu.
    explicit equipe(int pedidas);
    ~equipe();
    equipe(const equipe&) = delete;
    equipe& operator=(const equipe&) = delete;

    /// Threads disponíveis, a que chama incluída (ao menos 1).
    int tamanho() const { return static_cast<int>(auxiliares_.size()) + 1; }
    /// Threads pedidas na criação.
    int pedidas() const { return pedidas_; }
    /// tarefa(h) para h = 0..n-1 (n <= tamanho()), h = 0 na thread que chama; volta quando todas terminam.
    void executar(int n, const std::function<void(int)>& tarefa);

private:
    void trabalhar(int h);

    int pedidas_;
    std::vector<std::thread> auxiliares_;
    std::mutex trava_;
    std::condition_variable acordar_, terminou_;
    const std::function<void(int)>* tarefa_ = nullptr;
    long long geracao_ = 0; // muda a cada executar
    int participantes_ = 0; // auxiliares que trabalham nesta geração
    int pendentes_ = 0;     // auxiliares desta geração que ainda não terminaram
    bool encerrar_ = false;
};
