// Equipe de threads: as auxiliares dormem numa variável de condição entre as passadas (nada de espera ativa).
#include "solver/equipe.h"

#include <system_error>

equipe::equipe(int pedidas) : pedidas_(pedidas < 1 ? 1 : pedidas) {
    auxiliares_.reserve(static_cast<std::size_t>(pedidas_ - 1));
    for (int h = 1; h < pedidas_; ++h) {
        try {
            auxiliares_.emplace_back(&equipe::trabalhar, this, h);
        } catch (const std::system_error&) {
            break; // limite de processos ou de memória: seguem as que já existem, com os mesmos bits
        }
    }
}

equipe::~equipe() {
    {
        std::lock_guard<std::mutex> g(trava_);
        encerrar_ = true;
    }
    acordar_.notify_all();
    for (std::thread& t : auxiliares_) t.join();
}

void equipe::executar(int n, const std::function<void(int)>& tarefa) {
    if (n > tamanho()) n = tamanho();
    if (n <= 1) {
        tarefa(0);
        return;
    }
    {
        std::lock_guard<std::mutex> g(trava_);
        tarefa_ = &tarefa;
        participantes_ = n - 1;
        pendentes_ = n - 1;
        ++geracao_;
    }
    acordar_.notify_all();
    tarefa(0);
    std::unique_lock<std::mutex> g(trava_);
    terminou_.wait(g, [this] { return pendentes_ == 0; });
    tarefa_ = nullptr;
}

void equipe::trabalhar(int h) {
    long long vista = 0;
    for (;;) {
        const std::function<void(int)>* t;
        {
            std::unique_lock<std::mutex> g(trava_);
            acordar_.wait(g, [&] { return encerrar_ || geracao_ != vista; });
            if (encerrar_) return;
            vista = geracao_;
            if (h > participantes_) continue;
            t = tarefa_;
        }
        (*t)(h);
        std::lock_guard<std::mutex> g(trava_);
        if (--pendentes_ == 0) terminou_.notify_one();
    }
}
