// Vermelho-preto e Jacobi na passada rápida contra os laços de referência: os mesmos bits em T, cor, res e rnorm,
// para cada combinação de passada, omega 1 e relaxado, 1 a 3 threads e cada conjunto de instruções que o processador
// tem; e a solução inteira com esses suavizadores.
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

// Estado com T, cor e res ao acaso, nível k corrente.
estado_execucao pontuais_ao_acaso(int nm, int nx1, int ny1, int problema, int k, unsigned semente) {
    estado_execucao e = estado_de(entrada(nm, nx1, ny1, "0.0", 3, 1, problema));
    criar_campo(e, e.nxyg[nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[nm]);
    selecionar_nivel(e, nm);
    preparar_campo_inicial(e, efetivo(e));
    std::mt19937_64 g(semente);
    uniforme d(-1.0, 1.0);
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

// O interior da correção do nível corrente com o valor v (NaN: uma passada que o lesse daria NaN).
void interior_da_correcao(estado_execucao& e, double v) {
    for (int j = 2; j < e.nyk; ++j)
        for (int i = 2; i < e.nxk; ++i) e.cor[static_cast<std::size_t>(e.ofsk + i + (j - 1) * e.nxk)] = v;
}

// A passada pedida com os laços de referência, na ordem do ciclo.
void pontual_de_referencia(estado_execucao& e, const pedido_passada& p) {
    const bool em_T = e.nm == 1 || e.k == e.nm;
    if (p.zerar) interior_da_correcao(e, 0.0);
    if (p.prolongar) {
        if (em_T) prolongar_em_T(e);
        else prolongar_correcao(e);
    }
    std::vector<double> copia(static_cast<std::size_t>(e.nxk) * e.nyk + 1, 0.0); // o rascunho do Jacobi
    const meios_suavizacao m{.omega = p.omega, .rascunho = copia.data()};
    if (p.suavizador == suavizador_passada::gs_rb) suavizar_gs_rb(nivel_corrente(e), m, p.varreduras);
    else suavizar_jacobi(nivel_corrente(e), m, p.varreduras);
    if (p.restringir) {
        std::vector<double> rascunho(3 * (static_cast<std::size_t>(e.nxk) + 1), 0.0);
        if (p.restricao == restricao_passada::injecao) restringir_residuo(e);
        else if (p.restricao == restricao_passada::meia)
            restringir_meia(nivel_corrente(e), nivel_abaixo_do_corrente(e), rascunho.data());
        else restringir_completa(nivel_corrente(e), nivel_abaixo_do_corrente(e), rascunho.data());
    }
    if (p.norma) norma_l1(e);
}

struct niveis_pontuais {
    int nm, nx1, ny1;
};

// Cada combinação de passada (prolongar, restringir, norma, zerar) em cada nível.
void conferir_pontuais(const niveis_pontuais& f, int problema, suavizador_passada s, double omega,
                       const std::vector<int>& varreduras, restricao_passada r) {
    for (int k = 1; k <= f.nm; ++k) {
        const unsigned semente = static_cast<unsigned>(5 * k + f.ny1);
        const estado_execucao base = pontuais_ao_acaso(f.nm, f.nx1, f.ny1, problema, k, semente);
        estado_execucao ref = base, e = base; // cada passada recomeça da base, nas mesmas áreas
        // uma equipe por conjunto e número de threads, a mesma para todas as passadas do nível, como numa solução
        std::vector<std::unique_ptr<equipe>> equipes;
        for (conjunto_instrucoes c : conjuntos_do_processador())
            for (int threads : threads_conferidas(base.nxk, base.nyk))
                equipes.push_back(std::make_unique<equipe>(threads, c));
        for (int n : varreduras)
            for (int combinacao = 0; combinacao < 16; ++combinacao) {
                const pedido_passada pedido{n, (combinacao & 1) != 0, (combinacao & 2) != 0, (combinacao & 4) != 0,
                                            (combinacao & 8) != 0, r, s, omega};
                if (((pedido.prolongar || pedido.restringir) && k == 1) || (pedido.norma && k != f.nm) ||
                    (pedido.zerar && k == f.nm))
                    continue;
                if (!combinacao_conferida(base.nxk, base.nyk, combinacao, (k > 1 ? 3 : 0) | (k == f.nm ? 4 : 8)))
                    continue;
                ref = base;
                ref.rnorm = -1.0;
                pontual_de_referencia(ref, pedido);
                for (const std::unique_ptr<equipe>& eq : equipes) {
                    SCOPED_TRACE("nível " + std::to_string(k) + " de " + std::to_string(f.nm) + ", " +
                                 std::to_string(f.nx1) + "x" + std::to_string(f.ny1) + ", problema " +
                                 std::to_string(problema) + ", varreduras " + std::to_string(n) + ", passada " +
                                 std::to_string(combinacao) + ", " + nome_do_conjunto(eq->instrucoes()) +
                                 ", threads " + std::to_string(eq->pedidas()));
                    e = base;
                    e.rnorm = -1.0;
                    if (pedido.zerar) interior_da_correcao(e, std::nan(""));
                    passada_rapida(e, pedido, *eq);
                    EXPECT_TRUE(mesmos_bits(e.T, ref.T));
                    EXPECT_TRUE(mesmos_bits(e.cor, ref.cor));
                    EXPECT_TRUE(mesmos_bits(e.res, ref.res));
                    EXPECT_TRUE(mesmos_bits(e.rnorm, ref.rnorm)) << e.rnorm << " contra " << ref.rnorm;
                }
            }
    }
}

// A solução inteira, laços de referência contra a passada rápida.
void conferir_solucao_pontual(int nm, int nx1, int ny1, int nitm, int problema, const metodo_solver& m,
                              const std::vector<int>& threads_testadas) {
    const std::string texto = entrada(nm, nx1, ny1, "0.0", 3, nitm, problema);
    estado_execucao ref = estado_de(texto);
    ajustes_solver referencia;
    referencia.rapidos = false;
    if (nm == 1) resolver_malha_unica(ref, efetivo(ref, m), referencia);
    else resolver_multigrid(ref, efetivo(ref, m), referencia);
    for (conjunto_instrucoes c : conjuntos_do_processador())
        for (int threads : threads_testadas) {
            SCOPED_TRACE(std::to_string(nm) + " níveis, " + std::to_string(nx1) + "x" + std::to_string(ny1) +
                         ", nitm " + std::to_string(nitm) + ", " + nome_do_conjunto(c) + ", threads " +
                         std::to_string(threads));
            estado_execucao e = estado_de(texto);
            ajustes_solver a;
            a.threads = threads;
            a.instrucoes = c;
            if (nm == 1) resolver_malha_unica(e, efetivo(e, m), a);
            else resolver_multigrid(e, efetivo(e, m), a);
            EXPECT_EQ(e.niter, ref.niter);
            for (long long it = 0; it <= ref.niter; ++it)
                EXPECT_TRUE(mesmos_bits(e.hist[it], ref.hist[it])) << "hist(" << it << ")";
            EXPECT_TRUE(mesmos_bits(e.T, ref.T));
            EXPECT_TRUE(mesmos_bits(e.res, ref.res));
            EXPECT_TRUE(mesmos_bits(e.cor, ref.cor));
        }
}

} // namespace

// Níveis pequenos e estranhos (sem interior, uma linha, uma coluna, menos linhas que a defasagem entre varreduras,
// largura par e ímpar, mais linhas que colunas), uma a três varreduras, as três restrições, omega 1 e relaxado.
TEST(Pontuais, PassadasEmNiveisPequenos) {
    for (suavizador_passada s : {suavizador_passada::gs_rb, suavizador_passada::jacobi})
        for (double omega : {1.0, 0.8})
            for (restricao_passada r :
                 {restricao_passada::injecao, restricao_passada::meia, restricao_passada::completa}) {
                SCOPED_TRACE(std::string(s == suavizador_passada::gs_rb ? "gs-rb" : "jacobi") + ", omega " +
                             std::to_string(omega) + ", restrição " + std::to_string(static_cast<int>(r)));
                for (const niveis_pontuais& f : {niveis_pontuais{1, 2, 9}, niveis_pontuais{1, 9, 2},
                                                 niveis_pontuais{1, 3, 3}, niveis_pontuais{1, 4, 3},
                                                 niveis_pontuais{1, 3, 40}, niveis_pontuais{1, 40, 3},
                                                 niveis_pontuais{1, 12, 29}, niveis_pontuais{3, 3, 2},
                                                 niveis_pontuais{3, 3, 3}, niveis_pontuais{3, 4, 3},
                                                 niveis_pontuais{2, 3, 6}, niveis_pontuais{3, 10, 9}})
                    for (int problema : {1, 2}) conferir_pontuais(f, problema, s, omega, {1, 2, 3}, r);
            }
}

// Níveis com threads (mais de 2^19 pontos internos: as linhas divididas entre elas, uma faixa de poucas linhas por
// thread num nível baixo) e as raias vetoriais inteiras.
TEST(Pontuais, PassadasComThreadsEVetores) {
    for (suavizador_passada s : {suavizador_passada::gs_rb, suavizador_passada::jacobi}) {
        conferir_pontuais({1, 1000, 530}, 2, s, 1.0, {1, 2}, restricao_passada::injecao);
        conferir_pontuais({1, 1025, 600}, 1, s, 0.8, {2}, restricao_passada::injecao);
        conferir_pontuais({2, 513, 300}, 2, s, 0.8, {2}, restricao_passada::completa);
        conferir_pontuais({1, 265000, 4}, 2, s, 1.0, {1, 3}, restricao_passada::injecao);
        conferir_pontuais({1, 8, 89000}, 1, s, 0.8, {2}, restricao_passada::injecao);
    }
}

// O plano escolhe a passada rápida para gs-rb e jacobi com qualquer omega, e a solução tem os bits da de referência:
// malha única, ciclos V, W e F, FMG, as três restrições, eps e fonte, várias threads.
TEST(Pontuais, SolucaoIgualAReferencia) {
    auto pedido = [](tipo_suavizador s, tipo_restricao r, tipo_ciclo c, bool fmg, double eps, double omega) {
        metodo_solver m;
        m.suavizador = s;
        m.restricao = r;
        m.ciclo = c;
        m.fmg = fmg;
        m.eps = eps;
        m.omega = omega;
        return m;
    };
    for (tipo_suavizador s : {tipo_suavizador::gs_rb, tipo_suavizador::jacobi}) {
        {
            estado_execucao x = estado_de(entrada(3, 5, 5, "0.0", 1, 1, 2));
            equipe eq(1, conjunto_instrucoes::escalar);
            plano_solver p;
            criar_campo(x, x.nxyg[3]);
            criar_niveis_grossos(x, static_cast<long>(x.nxyt) - x.nxyg[3]);
            planejar_solver(p, x, efetivo(x, pedido(s, tipo_restricao::meia, tipo_ciclo::V, false, 1.0, 0.7)), {}, eq);
            EXPECT_TRUE(p.rapido);
            EXPECT_EQ(instrucoes_da_solucao(p, eq), "scalar/scalar");
        }
        for (const metodo_solver& m :
             {pedido(s, tipo_restricao::injecao, tipo_ciclo::V, false, 1.0, 1.0),
              pedido(s, tipo_restricao::meia, tipo_ciclo::W, false, 1.0, 0.8),
              pedido(s, tipo_restricao::completa, tipo_ciclo::F, true, 0.1, 1.0),
              pedido(s, tipo_restricao::injecao, tipo_ciclo::V, true, 1.0, 0.9)}) {
            SCOPED_TRACE("restrição " + std::to_string(static_cast<int>(m.restricao)) + ", ciclo " +
                         std::to_string(static_cast<int>(m.ciclo)) + ", omega " + std::to_string(m.omega));
            for (int nitm = 1; nitm <= 3; ++nitm) {
                conferir_solucao_pontual(1, 23, 17, nitm, 2, m, {1, 2});
                conferir_solucao_pontual(4, 5, 3, nitm, 1, m, {1, 3});
            }
            conferir_solucao_pontual(3, 186, 181, 2, 1, m, {1, 2});
        }
    }
}
