// Vermelho-preto e Jacobi com o operador variável nos núcleos rápidos contra os laços de referência: os mesmos bits,
// com e sem lado direito, omega 1 e relaxado, 1 a 3 threads e cada conjunto de instruções que o processador tem; e a
// solução inteira com um coeficiente que salta.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

// Um nível nx x ny com u, f e as três grades ao acaso (as arestas e a diagonal com valores de ordens diferentes,
// para que uma conta fora da ordem escrita mude os bits).
struct nivel_variavel_ao_acaso {
    std::vector<double> u, f, pesos;
    vista_nivel v;
    nivel_variavel_ao_acaso(int nx, int ny, unsigned semente) {
        std::mt19937_64 g(semente);
        std::uniform_real_distribution<double> d(-1.0, 1.0), k(0.1, 10.0);
        const std::size_t n = static_cast<std::size_t>(nx) * ny + 1;
        u.resize(n);
        f.resize(n);
        pesos.resize(3 * n);
        for (std::size_t p = 0; p < n; ++p) u[p] = d(g), f[p] = 100.0 * d(g);
        for (std::size_t p = 0; p < 2 * n; ++p) pesos[p] = 1e4 * k(g);
        for (std::size_t p = 2 * n; p < 3 * n; ++p) pesos[p] = 4e4 * k(g);
        v = vista_de(u, &f, nx, ny);
        v.forma = forma_operador::cinco_variavel;
        v.pesos = pesos.data(); // bloco[P] = ax(P), P de 1 a nx*ny: as três grades cabem nos 3n doubles
    }
};

using suavizar = void (*)(const vista_nivel&, const meios_suavizacao&, int);

// Duas e três varreduras de cada suavizador, com os laços de referência e com os núcleos rápidos de cada conjunto e
// número de threads, a partir do mesmo nível.
void conferir_nivel(int nx, int ny, const std::vector<int>& threads) {
    for (const auto& [nome, s] : {std::pair<const char*, suavizar>{"gs-rb", suavizar_gs_rb_variavel},
                                  std::pair<const char*, suavizar>{"jacobi", suavizar_jacobi_variavel}})
        for (const bool direito : {false, true})
            for (const auto& [omega, varreduras] : {std::pair{1.0, 2}, std::pair{0.8, 3}}) {
                nivel_variavel_ao_acaso ref(nx, ny, 7);
                if (!direito) ref.v.f = nullptr;
                std::vector<double> copia(ref.u.size());
                s(ref.v, {.omega = omega, .rascunho = copia.data()}, varreduras);
                for (conjunto_instrucoes c : conjuntos_do_processador())
                    for (int t : threads) {
                        SCOPED_TRACE(std::string(nome) + " " + std::to_string(nx) + "x" + std::to_string(ny) +
                                     (direito ? " com f" : " sem f") + ", omega " + std::to_string(omega) + ", " +
                                     std::to_string(varreduras) + " varreduras, " +
                                     nome_do_conjunto(c) + ", threads " + std::to_string(t));
                        nivel_variavel_ao_acaso x(nx, ny, 7);
                        if (!direito) x.v.f = nullptr;
                        equipe eq(t, c);
                        s(x.v, {.omega = omega, .eq = &eq, .rascunho = copia.data(), .rapidos = true}, varreduras);
                        EXPECT_TRUE(mesmos_bits(x.u, ref.u));
                    }
            }
}

metodo_solver com_salto(tipo_suavizador s, tipo_ciclo c, double omega) {
    metodo_solver m;
    m.suavizador = s;
    m.ciclo = c;
    m.omega = omega;
    m.restricao = tipo_restricao::completa;
    m.coeficiente.tipo = tipo_coeficiente::salto;
    m.coeficiente.c = 1000.0;
    return m;
}

} // namespace

// Larguras que deixam cada resto de raias (AVX2: 4, AVX-512: 8), níveis sem interior, de uma linha e de uma coluna;
// e níveis que as threads dividem (2^16 pontos internos ou mais), com faixas de poucas linhas.
TEST(Variaveis, VarredurasIguaisAReferencia) {
    for (const auto& [nx, ny] : {std::pair{2, 5}, std::pair{3, 3}, std::pair{4, 7}, std::pair{5, 4}, std::pair{9, 9},
                                 std::pair{12, 5}, std::pair{18, 6}, std::pair{19, 11}, std::pair{20, 3},
                                 std::pair{37, 8}, std::pair{3, 40}})
        conferir_nivel(nx, ny, {1, 2, 3});
    conferir_nivel(300, 260, threads_conferidas(300, 260));
    conferir_nivel(70000, 4, threads_conferidas(70000, 4));
}

// A solução inteira com o coeficiente que salta: os núcleos rápidos têm os bits dos laços de referência.
TEST(Variaveis, SolucaoComSaltoIgualAReferencia) {
    for (tipo_suavizador s : {tipo_suavizador::gs_rb, tipo_suavizador::jacobi})
        for (const metodo_solver& m : {com_salto(s, tipo_ciclo::V, 1.0), com_salto(s, tipo_ciclo::W, 0.8)}) {
            const std::string texto = entrada(4, 9, 9, "0.0", 4, 2, 2);
            estado_execucao ref = estado_de(texto);
            ajustes_solver referencia;
            referencia.rapidos = false;
            resolver_multigrid(ref, efetivo(ref, m), referencia);
            for (conjunto_instrucoes c : conjuntos_do_processador())
                for (int threads : {1, 2}) {
                    SCOPED_TRACE(std::string(nome_do_conjunto(c)) + ", threads " + std::to_string(threads));
                    estado_execucao e = estado_de(texto);
                    ajustes_solver a;
                    a.threads = threads;
                    a.instrucoes = c;
                    resolver_multigrid(e, efetivo(e, m), a);
                    ASSERT_EQ(e.niter, ref.niter);
                    for (long long it = 0; it <= ref.niter; ++it)
                        EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it])) << "hist(" << it << ")";
                    EXPECT_TRUE(mesmos_bits(e.T, ref.T));
                }
        }
}
