// Espera entre threads da passada rápida: um contador que só cresce, publicado por uma e esperado por outra.
#pragma once

#include <atomic>

struct sinal {
    alignas(64) std::atomic<long long> valor{0}; // linha de cache própria: quem publica não disputa com vizinhos
    std::atomic<int> dormindo{0};                // quantos esperam no futex
};

/// Publica v (maior que o valor anterior) e acorda quem dorme à espera.
void publicar(sinal& s, long long v);
/// Volta quando valor >= alvo; se `girar`, tenta um pouco antes de dormir (só vale com threads <= processadores).
void esperar(sinal& s, long long alvo, bool girar);
