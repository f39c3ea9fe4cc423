// Equipe de threads e sinal de espera: as auxiliares esperam a próxima passada num contador de geração e as fatias
// esperam umas pelas outras num sinal; as duas esperas tentam alguns microssegundos com pause e depois dormem no
// futex (std::atomic::wait), e nenhuma tenta quando há mais threads que processadores.
#include "fast/equipe.h"

#include <system_error>

#include "platform/plataforma.h"
#include "fast/rapido.h"

namespace {

// Tentativas antes de dormir: ~50 µs de pause, mais do que a espera típica entre duas faixas vizinhas e menos
// do que dormir e acordar custaria várias vezes por passada.
constexpr int tentativas = 1000;

// Espera que v deixe de valer `de`: tentando antes, se pode, e depois dormindo.
int esperar_mudar(const std::atomic<int>& v, int de, bool girar) {
    for (int n = 0; girar && n < tentativas; ++n) {
        const int agora = v.load();
        if (agora != de) return agora;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    int agora;
    while ((agora = v.load()) == de) v.wait(de);
    return agora;
}

} // namespace

void publicar(sinal& s, long long v) {
    s.valor.store(v);
    if (s.dormindo.load() != 0) s.valor.notify_all();
}

void esperar(sinal& s, long long alvo, espera modo) {
    if (s.valor.load(std::memory_order_acquire) >= alvo) return;
    for (int n = 0; modo == espera::tentar_antes && n < tentativas; ++n) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
        if (s.valor.load(std::memory_order_acquire) >= alvo) return;
    }
    for (;;) {
        // dormindo e valor em ordem sequencial dos dois lados: ou quem publica vê alguém dormindo, ou quem
        // dorme vê o valor novo
        s.dormindo.fetch_add(1);
        const long long v = s.valor.load();
        if (v < alvo) s.valor.wait(v);
        s.dormindo.fetch_sub(1);
        if (s.valor.load(std::memory_order_acquire) >= alvo) return;
    }
}

equipe::equipe(int pedidas, conjunto_instrucoes instrucoes)
    : pedidas_(pedidas < 1 ? 1 : pedidas), instrucoes_(conjunto_efetivo(instrucoes)),
      pontuais_(conjunto_pontual(instrucoes)),
      planos_(std::make_unique<planos_rapidos>()) {
    girar_ = pedidas_ <= processadores_disponiveis(); // antes das threads, que o leem
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
    encerrar_ = true;
    geracao_.fetch_add(1);
    geracao_.notify_all();
    for (std::thread& t : auxiliares_) t.join();
}

// Toda auxiliar confirma cada geração, trabalhando ou não: a seguinte só começa quando todas a viram.
void equipe::executar(int n, const std::function<void(int)>& tarefa) {
    if (n > tamanho()) n = tamanho();
    if (n <= 1) {
        tarefa(0);
        return;
    }
    tarefa_ = &tarefa;
    participantes_ = n - 1;
    pendentes_.store(static_cast<int>(auxiliares_.size()));
    geracao_.fetch_add(1);
    geracao_.notify_all();
    tarefa(0);
    int p = pendentes_.load();
    while (p != 0) p = esperar_mudar(pendentes_, p, girar_);
}

void equipe::trabalhar(int h) {
    int vista = 0;
    for (;;) {
        vista = esperar_mudar(geracao_, vista, girar_);
        if (encerrar_) return;
        if (h <= participantes_) (*tarefa_)(h);
        if (pendentes_.fetch_sub(1) == 1) pendentes_.notify_all();
    }
}
