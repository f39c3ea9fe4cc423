// Os inícios: o campo aleatório (splitmix64) e o início por multigrid completo.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

} // namespace

// splitmix64 com semente 1: os quatro primeiros valores conferidos por um cálculo independente (Python, inteiros
// de precisão arbitrária).
TEST(InicioAleatorio, PrimeirosValoresDaSementeUm) {
    std::uint64_t s = 1;
    EXPECT_EQ(proximo_aleatorio(s), 0.1331231503445618);
    EXPECT_EQ(proximo_aleatorio(s), 0.49156351452540226);
    EXPECT_EQ(proximo_aleatorio(s), 0.9420055071735924);
    EXPECT_EQ(proximo_aleatorio(s), -0.11128156588845584);
    std::uint64_t a = 0, b = 4294967295u;
    EXPECT_NE(proximo_aleatorio(a), proximo_aleatorio(b));
}

// O campo: zero, o interior em ordem de armazenamento, depois os contornos; hist(0) é a sua norma.
TEST(InicioAleatorio, InteriorEmOrdemDeArmazenamento) {
    estado_execucao e = estado_de(entrada(1, 4, 4, "0", 1, 1, 1, 1));
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    metodo_solver m;
    m.inicio = tipo_inicio::aleatorio;
    m.semente = 1;
    preparar_campo_inicial(e, efetivo(e, m));
    std::uint64_t s = 1;
    for (int P : {6, 7, 10, 11}) EXPECT_TRUE(bits_iguais(e.T[P], proximo_aleatorio(s))) << "P = " << P;
    EXPECT_EQ(e.T[16], 1.0); // contorno do problema linear, não o valor de tipo_ci = 1
    const double h0 = e.hist[0];
    norma_l1(e);
    EXPECT_EQ(e.rnorm, h0);
}

// FMG: no problema linear a interpolação bilinear do nível 1 resolvido (com os seus contornos) já é a solução, e o
// ciclo a mantém: hist(1) no arredondamento; hist(0) continua sendo a norma do campo inicial.
TEST(Fmg, ProblemaLinearExatoNaPrimeiraIteracao) {
    for (bool exato : {true, false}) {
        metodo_solver m;
        m.fmg = true;
        m.grosso_exato = exato;
        estado_execucao e = estado_de(entrada(3, 3, 3, "0", 2, 1, 1));
        resolver_multigrid(e, efetivo(e, m));
        estado_execucao sem = estado_de(entrada(3, 3, 3, "0", 2, 1, 1));
        resolver_multigrid(sem, efetivo(sem));
        EXPECT_EQ(e.hist[0], sem.hist[0]);
        EXPECT_LT(e.hist[1], 1e-13 * e.hist[0]) << (exato ? "exato" : "varreduras");
        EXPECT_GT(sem.hist[1], 1e-3 * sem.hist[0]);
    }
}

// No problema senoidal o FMG chega, na primeira iteração, bem mais perto que um ciclo V a partir do zero.
TEST(Fmg, GanhaDoCampoNulo) {
    metodo_solver m;
    m.fmg = true;
    estado_execucao fmg = estado_de(entrada(6, 3, 3, "0", 1, 2, 2)), v = fmg;
    resolver_multigrid(fmg, efetivo(fmg, m));
    resolver_multigrid(v, efetivo(v));
    EXPECT_LT(fmg.hist[1], 0.1 * v.hist[1]);
}
