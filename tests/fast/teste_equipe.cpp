// Equipe de threads e sinal de espera: cada tarefa roda uma vez por geração, ninguém perde um aviso, com e sem
// tentativas antes de dormir.
#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "plataforma_falsa.h"
#include "fast/equipe.h"

TEST(Equipe, CadaTarefaUmaVezPorGeracao) {
    // a plataforma falsa diz 2 processadores: com 3 threads as esperas vão direto ao futex
    for (int pedidas : {1, 2, 3, 4}) {
        equipe eq(pedidas);
        EXPECT_EQ(eq.tamanho(), pedidas);
        EXPECT_EQ(eq.modo_espera(), pedidas <= 2 ? espera::tentar_antes : espera::dormir_ja) << pedidas;
        std::vector<std::atomic<int>> vezes(static_cast<std::size_t>(pedidas));
        for (int g = 0; g < 500; ++g) {
            const int n = 1 + g % (pedidas + 1); // às vezes mais que a equipe: fica no tamanho dela
            eq.executar(n, [&](int h) { vezes[static_cast<std::size_t>(h)].fetch_add(1); });
            for (int h = 0; h < pedidas; ++h)
                ASSERT_EQ(vezes[static_cast<std::size_t>(h)].exchange(0), h < std::min(n, pedidas) ? 1 : 0)
                    << "geração " << g << ", n " << n << ", tarefa " << h;
        }
    }
}

TEST(Equipe, TarefaZeroNaThreadQueChama) {
    equipe eq(3);
    std::thread::id na_zero;
    eq.executar(3, [&](int h) {
        if (h == 0) na_zero = std::this_thread::get_id();
    });
    EXPECT_EQ(na_zero, std::this_thread::get_id());
}

// Duas threads revezando um contador: cada uma espera o valor da outra, 5000 vezes, tentando antes de dormir ou
// indo direto ao futex.
TEST(Sinal, RevezamentoSemAvisoPerdido) {
    for (espera modo : {espera::tentar_antes, espera::dormir_ja}) {
        sinal a, b;
        constexpr long long voltas = 5000;
        std::thread outra([&] {
            for (long long v = 1; v <= voltas; ++v) {
                esperar(a, v, modo);
                publicar(b, v);
            }
        });
        for (long long v = 1; v <= voltas; ++v) {
            publicar(a, v);
            esperar(b, v, modo);
        }
        outra.join();
        EXPECT_EQ(a.valor.load(), voltas);
        EXPECT_EQ(b.valor.load(), voltas);
    }
}
