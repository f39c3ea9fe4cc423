// Núcleos de referência e as duas soluções contra os exemplos trabalhados.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "solver/solver.h"

namespace {

// Nível único nx x ny com o campo inicial preparado (contornos, coeficientes, hist(0)).
estado_execucao grade_unica(int nx, int ny, int problema, int nitm = 1) {
    estado_execucao e = estado_de(entrada(1, nx, ny, "0.0", 5, nitm, problema));
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    preparar_campo_inicial(e, efetivo(e));
    return e;
}

} // namespace

TEST(Niveis, TamanhosDerivados) {
    estado_execucao e = estado_de(entrada(4, 3, 5, "1d-8", 50, 2, 2));
    EXPECT_EQ(e.nxg, (std::vector<int>{0, 3, 5, 9, 17}));
    EXPECT_EQ(e.nyg, (std::vector<int>{0, 5, 9, 17, 33}));
    EXPECT_EQ(e.nxyg, (std::vector<int>{0, 15, 45, 153, 561}));
    EXPECT_EQ(e.nxyt, 774);
    e = estado_de(entrada(5, 3, 3, "1d-8", 0, 2, 2));
    EXPECT_EQ(e.nxg[5], 33);
    EXPECT_EQ(e.nxyt, 1493);
    e = estado_de(entrada(1, 7, 4, "1d-8", 0, 2, 2));
    EXPECT_EQ(e.nxyt, 28);
}

TEST(Niveis, SelecionarNivelEOffsets) {
    estado_execucao e = estado_de(entrada(3, 5, 5, "1d-6", 50, 2, 1));
    selecionar_nivel(e, 3);
    EXPECT_EQ(e.ofsk, 25 + 81);
    EXPECT_EQ(e.nxk, 17);
    EXPECT_EQ(e.nxyk, 289);
    EXPECT_EQ(e.dx, 1.0 / 16.0);
    coeficientes(e);
    EXPECT_EQ(e.ae, 256.0);
    EXPECT_EQ(e.ap, 1024.0);
}

TEST(GaussSeidel, TresPorTresResolveNumaVarredura) {
    estado_execucao e = grade_unica(3, 3, 1);
    EXPECT_EQ(e.ae, 4.0);
    EXPECT_EQ(e.ap, 16.0);
    EXPECT_EQ(e.hist[0], 4.0);
    gauss_seidel(e);
    EXPECT_EQ(e.T[5], 0.25);
    norma_l1(e);
    EXPECT_EQ(e.rnorm, 0.0);
}

TEST(GaussSeidel, OrdemLexicograficaUsaValoresNovos) {
    estado_execucao e = grade_unica(4, 3, 1);
    EXPECT_EQ(e.ae, 9.0);
    EXPECT_EQ(e.an, 4.0);
    EXPECT_EQ(e.ap, 26.0);
    EXPECT_EQ(e.hist[0], 8.5);
    const std::vector<double> antes(e.T.begin(), e.T.end());
    gauss_seidel(e);
    const double q = 1.0 / 26.0;
    const double t22 = (4.0 * (antes[2] + antes[10]) + 9.0 * (antes[5] + antes[7])) * q;
    const double t32 = (4.0 * (antes[3] + antes[11]) + 9.0 * (t22 + antes[8])) * q;
    EXPECT_TRUE(bits_iguais(e.T[6], t22));
    EXPECT_TRUE(bits_iguais(e.T[7], t32));
    EXPECT_NEAR(e.T[6], 0.0512820512821, 1e-12);
    EXPECT_NEAR(e.T[7], 0.293392504931, 1e-12);
    norma_l1(e);
    EXPECT_NEAR(e.rnorm, 2.6405325443787, 1e-12);
    // contornos intocados
    for (int p : {1, 2, 3, 4, 5, 8, 9, 10, 11, 12}) EXPECT_TRUE(bits_iguais(e.T[p], antes[p]));
}

TEST(GaussSeidel, SemVarredurasOuSemInterior) {
    estado_execucao e = grade_unica(4, 3, 1, 0);
    const std::vector<double> antes(e.T.begin(), e.T.end());
    gauss_seidel(e);
    EXPECT_EQ(std::vector<double>(e.T.begin(), e.T.end()), antes);
    e = grade_unica(2, 5, 2);
    EXPECT_EQ(e.hist[0], 0.0);
}

TEST(Norma, SenoidalTresPorTres) {
    estado_execucao e = grade_unica(3, 3, 2);
    EXPECT_EQ(e.hist[0], 4.0);
}

TEST(Norma, NaNPropaga) {
    estado_execucao e = grade_unica(5, 5, 1);
    e.T[13] = std::nan("");
    norma_l1(e);
    EXPECT_TRUE(std::isnan(e.rnorm));
}

TEST(MalhaUnica, ConvergeNaPrimeiraIteracao) {
    falsa::reiniciar();
    estado_execucao e = estado_de(entrada(1, 3, 3, "0.0", 10, 1, 1));
    resolver_malha_unica(e, efetivo(e));
    EXPECT_EQ(e.niter, 1);
    EXPECT_EQ(e.hist[0], 4.0);
    EXPECT_EQ(e.hist[1], 0.0);
    EXPECT_EQ(e.tcpu, 0.078125);
}

TEST(MalhaUnica, ItmaxZeroEGradeSemInterior) {
    falsa::reiniciar();
    estado_execucao e = estado_de(entrada(1, 9, 9, "0.1", 0, 1, 2));
    resolver_malha_unica(e, efetivo(e));
    EXPECT_EQ(e.niter, 0);
    EXPECT_EQ(e.tcpu, 0.078125);
    e = estado_de(entrada(1, 2, 9, "0.1", 4, 1, 2));
    resolver_malha_unica(e, efetivo(e));
    EXPECT_EQ(e.niter, 4);  // hist(0) = 0: o teste nunca vale
    EXPECT_EQ(e.it, 5);
}

TEST(MalhaUnica, SemVarredurasParaComTolUm) {
    estado_execucao e = estado_de(entrada(1, 9, 9, "1.0", 7, 0, 2));
    resolver_malha_unica(e, efetivo(e));
    EXPECT_EQ(e.niter, 1);
    e = estado_de(entrada(1, 9, 9, "0.99", 7, -3, 2));
    resolver_malha_unica(e, efetivo(e));
    EXPECT_EQ(e.niter, 7);
    for (int i = 1; i <= 7; ++i) EXPECT_EQ(e.hist[i], e.hist[0]);
}

TEST(Multigrid, DuasMalhas) {
    falsa::reiniciar();
    estado_execucao e = estado_de(entrada(2, 3, 3, "0.001", 50, 1, 1));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.niter, 3);
    EXPECT_EQ(e.hist[0], 48.0);
    EXPECT_EQ(e.hist[1], 7.31640625);
    EXPECT_NEAR(e.hist[2], 0.372673, 1e-6);
    EXPECT_NEAR(e.hist[3], 0.0192125, 1e-7);
    EXPECT_EQ(e.nxk, 5);
    EXPECT_EQ(e.nxyk, 25);
    EXPECT_EQ(e.k, 2);
}

TEST(Multigrid, QuatroMalhasSenoidal) {
    estado_execucao e = estado_de(entrada(4, 3, 3, "1e-8", 50, 2, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_NEAR(e.hist[0], 2599.21, 0.01);
    EXPECT_NEAR(e.hist[1] / e.hist[0], 0.0649, 0.00005);
    EXPECT_NEAR(e.hist[2] / e.hist[0], 0.00273, 0.000005);
    EXPECT_NEAR(e.hist[3] / e.hist[0], 0.0000941, 0.0000001);
    EXPECT_EQ(e.niter, 6);
    EXPECT_EQ(e.nxk, 17);
}

TEST(Multigrid, LimitesDoLaco) {
    estado_execucao e = estado_de(entrada(3, 3, 3, "-1.0", 4, 2, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.niter, 4);
    EXPECT_EQ(e.it, 5);
    e = estado_de(entrada(3, 3, 3, "1.0", 4, 0, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.niter, 1);
    EXPECT_EQ(e.hist[1], e.hist[0]);
    e = estado_de(entrada(3, 3, 3, "1.0", 0, 2, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.niter, 0);
    // malha grossa de 2 pontos em X: correção nula, resíduo nada escreve nela
    e = estado_de(entrada(3, 2, 3, "-1", 3, 2, 1));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.niter, 3);
    EXPECT_TRUE(std::isfinite(e.hist[3]));
}

// Partindo da solução exata linear, o ciclo V a preserva até o arredondamento.
TEST(Multigrid, SolucaoExataLinearFica) {
    estado_execucao e = estado_de(entrada(3, 3, 3, "0.0", 2, 2, 1, 1));
    resolver_multigrid(e, efetivo(e));
    EXPECT_LT(e.hist[0], 1e-10);
    for (int j = 1; j <= 9; ++j)
        for (int i = 1; i <= 9; ++i) EXPECT_NEAR(e.T[i + (j - 1) * 9], (i - 1) / 8.0 * ((j - 1) / 8.0), 1e-14);
}

// As três paradas do laço: a tolerância, a divergência (razão acima de 1e6, ou norma não finita; a iteração que
// passou é a última) e itmax; com hist(0) = 0 só uma norma não finita pararia.
TEST(Multigrid, ParadasPorToleranciaDivergenciaEItmax) {
    estado_execucao e = estado_de(entrada(4, 3, 3, "1.0d-8", 50, 2, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.parada, motivo_parada::tolerancia);
    EXPECT_EQ(e.niter, 6);
    metodo_solver rb;
    rb.suavizador = tipo_suavizador::gs_rb; // com a injeção: cada ciclo dobra o erro liso
    e = estado_de(entrada(4, 3, 3, "1.0d-8", 50, 2, 2));
    resolver_multigrid(e, efetivo(e, rb));
    EXPECT_EQ(e.parada, motivo_parada::divergencia);
    ASSERT_GE(e.niter, 2);
    EXPECT_LT(e.niter, 50);
    EXPECT_GT(e.hist[e.niter] / e.hist[0], 1e6);
    EXPECT_LE(e.hist[e.niter - 1] / e.hist[0], 1e6);
    EXPECT_EQ(e.it, e.niter);
    e = estado_de(entrada(3, 3, 3, "-1.0", 4, 2, 2));
    resolver_multigrid(e, efetivo(e));
    EXPECT_EQ(e.parada, motivo_parada::iteracoes);
    EXPECT_TRUE(divergiu(1.0, 1e6 * (1.0 + 0x1p-52)));
    EXPECT_FALSE(divergiu(1.0, 1e6));
    EXPECT_TRUE(divergiu(1.0, std::nan("")));
    EXPECT_TRUE(divergiu(0.0, HUGE_VAL));
    EXPECT_FALSE(divergiu(0.0, 5.0)); // sem hist(0), só a norma não finita
}
