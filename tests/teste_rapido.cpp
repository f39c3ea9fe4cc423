// Núcleos rápidos contra os de referência: os mesmos bits em T, cor, res, rnorm e hist, para 1, 2 e 3 threads.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "solver/solver.h"

namespace {

bool mesmos_bits(const vetor_grande& a, const vetor_grande& b) {
    return a.size() == b.size()
           && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

bool mesmos_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Primeiro índice em que a e b diferem (para a mensagem), ou -1.
long primeira_diferenca(const vetor_grande& a, const vetor_grande& b) {
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (!mesmos_bits(a[i], b[i])) return static_cast<long>(i);
    return a.size() == b.size() ? -1 : static_cast<long>(std::min(a.size(), b.size()));
}

#define ESPERA_MESMOS_BITS(a, b) EXPECT_TRUE(mesmos_bits(a, b)) << #a " difere em " << primeira_diferenca(a, b)

// Estado com T, cor e res criados e preenchidos ao acaso (contornos de T conforme o problema), nível k corrente.
estado_execucao nivel_ao_acaso(int nm, int nx1, int ny1, int nitm, int problema, int k, unsigned semente) {
    estado_execucao e = estado_de(entrada(nm, nx1, ny1, "0.0", 3, nitm, problema));
    criar_campo(e, e.nxyg[nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[nm]);
    selecionar_nivel(e, nm);
    preparar_campo_inicial(e);
    std::mt19937_64 g(semente);
    std::uniform_real_distribution<double> d(-1.0, 1.0);
    const int nx = e.nxg[nm], ny = e.nyg[nm];
    for (int j = 2; j < ny; ++j)
        for (int i = 2; i < nx; ++i) e.T[i + (j - 1) * static_cast<std::size_t>(nx)] = d(g);
    for (std::size_t q = 1; q < e.cor.size(); ++q) {
        e.cor[q] = d(g);
        e.res[q] = 1e3 * d(g);
    }
    selecionar_nivel(e, k);
    coeficientes(e);
    return e;
}

// O que uma passada faz, com os núcleos de referência, na ordem em que o ciclo V os chama.
void passada_referencia(estado_execucao& e, bool prolongar, bool restringir, bool norma) {
    const bool em_T = e.nm == 1 || e.k == e.nm;
    if (prolongar) {
        if (em_T) prolongar_em_T(e);
        else prolongar_correcao(e);
    }
    if (em_T) gauss_seidel(e);
    else suavizar_correcao(e);
    if (restringir) restringir_residuo(e);
    if (norma) norma_l1(e);
}

struct forma {
    int nm, nx1, ny1;
};

// Cada combinação de passada em cada nível, cada nitm e cada número de threads, contra a referência.
void conferir_passadas(const forma& f, int problema) {
    for (int k = 1; k <= f.nm; ++k)
        for (int nitm = 0; nitm <= 4; ++nitm)
            for (int combinacao = 0; combinacao < 8; ++combinacao) {
                const bool prolongar = (combinacao & 1) != 0, restringir = (combinacao & 2) != 0;
                const bool norma = (combinacao & 4) != 0;
                if (((prolongar || restringir) && k == 1) || (norma && k != f.nm)) continue; // não existe aqui
                const unsigned semente = static_cast<unsigned>(1000 * k + 10 * nitm + combinacao);
                estado_execucao ref = nivel_ao_acaso(f.nm, f.nx1, f.ny1, nitm, problema, k, semente);
                ref.rnorm = -1.0;
                passada_referencia(ref, prolongar, restringir, norma);
                for (int threads = 1; threads <= 3; ++threads) {
                    SCOPED_TRACE("nível " + std::to_string(k) + " de " + std::to_string(f.nm) + ", "
                                 + std::to_string(f.nx1) + "x" + std::to_string(f.ny1) + ", problema "
                                 + std::to_string(problema) + ", nitm " + std::to_string(nitm) + ", passada "
                                 + std::to_string(combinacao) + ", threads " + std::to_string(threads));
                    estado_execucao e = nivel_ao_acaso(f.nm, f.nx1, f.ny1, nitm, problema, k, semente);
                    e.rnorm = -1.0;
                    equipe eq(threads);
                    passada_rapida(e, {nitm, prolongar, restringir, norma}, eq);
                    ESPERA_MESMOS_BITS(e.T, ref.T);
                    ESPERA_MESMOS_BITS(e.cor, ref.cor);
                    ESPERA_MESMOS_BITS(e.res, ref.res);
                    EXPECT_TRUE(mesmos_bits(e.rnorm, ref.rnorm)) << e.rnorm << " contra " << ref.rnorm;
                }
            }
}

// Solução inteira, referência contra rápida, com o histórico e as chamadas de ao_iterar.
void conferir_solucao(int nm, int nx1, int ny1, int nitm, int problema, int tipo_ci, int itmax) {
    const std::string texto = entrada(nm, nx1, ny1, "0.0", itmax, nitm, problema, tipo_ci);
    estado_execucao ref = estado_de(texto);
    ajustes_solver referencia;
    referencia.rapidos = false;
    if (nm == 1) resolver_malha_unica(ref, {}, referencia);
    else resolver_multigrid(ref, {}, referencia);
    for (int threads = 1; threads <= 3; ++threads) {
        SCOPED_TRACE(std::to_string(nm) + " níveis, " + std::to_string(nx1) + "x" + std::to_string(ny1) + ", nitm "
                     + std::to_string(nitm) + ", problema " + std::to_string(problema) + ", tipo_ci "
                     + std::to_string(tipo_ci) + ", threads " + std::to_string(threads));
        estado_execucao e = estado_de(texto);
        ajustes_solver ajustes;
        ajustes.threads = threads;
        int avisos = 0;
        const aviso_iteracao aviso = [&](const estado_execucao& x) {
            ++avisos;
            EXPECT_TRUE(mesmos_bits(x.hist[x.it], ref.hist[x.it])) << "ciclo " << x.it;
        };
        if (nm == 1) resolver_malha_unica(e, {}, ajustes, aviso);
        else resolver_multigrid(e, {}, ajustes, aviso);
        EXPECT_EQ(e.niter, ref.niter);
        EXPECT_EQ(avisos, ref.niter);
        for (long long it = 0; it <= ref.niter; ++it)
            EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it])) << "hist(" << it << ")";
        ESPERA_MESMOS_BITS(e.T, ref.T);
        ESPERA_MESMOS_BITS(e.cor, ref.cor);
        ESPERA_MESMOS_BITS(e.res, ref.res);
    }
}

} // namespace

// Níveis pequenos: 2 x N e N x 2 (sem interior), 3 x 3, ímpares e não quadrados, linhas mais curtas que as linhas
// em voo e menos linhas que uma faixa.
TEST(Rapido, PassadasEmNiveisPequenos) {
    for (const forma& f : {forma{1, 2, 9}, forma{1, 9, 2}, forma{1, 3, 3}, forma{1, 4, 3}, forma{1, 3, 40},
                           forma{1, 40, 3}, forma{1, 7, 11}, forma{1, 10, 9}, forma{1, 12, 29}, forma{3, 2, 3},
                           forma{3, 3, 2}, forma{3, 3, 3}, forma{3, 4, 3}, forma{2, 3, 6}, forma{4, 3, 4}})
        for (int problema : {1, 2}) conferir_passadas(f, problema);
}

// Níveis grandes o bastante para as threads: quadrado, linhas curtas (menos colunas que linhas em voo) e poucas
// linhas (menos que uma faixa).
TEST(Rapido, PassadasComThreads) {
    for (const forma& f : {forma{1, 740, 720}, forma{3, 186, 181}, forma{1, 8, 89000}, forma{1, 265000, 4}})
        conferir_passadas(f, 2);
}

TEST(Rapido, MalhaUnicaIgualAReferencia) {
    for (int nitm = 0; nitm <= 4; ++nitm)
        for (int problema : {1, 2}) {
            conferir_solucao(1, 3, 3, nitm, problema, 0, 3);
            conferir_solucao(1, 2, 7, nitm, problema, 0, 2);
            conferir_solucao(1, 23, 17, nitm, problema, 0, 4);
            conferir_solucao(1, 740, 721, nitm, problema, nitm % 2, 2);
        }
}

TEST(Rapido, MultigridDeDoisAOitoNiveis) {
    for (int nm = 2; nm <= 8; ++nm)
        for (int problema : {1, 2}) {
            const int nitm = nm % 5;
            conferir_solucao(nm, 3, 3, nitm, problema, 0, 3);
            conferir_solucao(nm, 3, 2, 1 + nitm % 3, problema, 0, 2);
        }
    for (int nitm = 0; nitm <= 4; ++nitm) {
        conferir_solucao(3, 4, 3, nitm, 2, 0, 3);
        conferir_solucao(5, 5, 7, nitm, 1, 1, 2);
        conferir_solucao(6, 7, 4, nitm, 2, 0, 2);
        conferir_solucao(4, 94, 91, nitm, 1 + nitm % 2, 0, 2);
    }
}
