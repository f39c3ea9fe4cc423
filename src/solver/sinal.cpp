// Espera barata: alguns microssegundos de tentativa com pause e depois o futex (std::atomic::wait).
#include "solver/sinal.h"

namespace {

// Tentativas antes de dormir: ~50 µs de pause, mais do que a espera típica entre duas faixas vizinhas e menos
// do que dormir e acordar custaria várias vezes por passada.
constexpr int tentativas = 1000;

} // namespace

void publicar(sinal& s, long long v) {
    s.valor.store(v);
    if (s.dormindo.load() != 0) s.valor.notify_all();
}

void esperar(sinal& s, long long alvo, bool girar) {
    if (s.valor.load(std::memory_order_acquire) >= alvo) return;
    for (int n = 0; girar && n < tentativas; ++n) {
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
