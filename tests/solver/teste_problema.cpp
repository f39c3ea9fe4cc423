// O problema de uma rodada: contornos, termo fonte (com eps), soluções exatas (a senoidal anisotrópica e a
// manufaturada satisfazem as suas equações), a fonte no FMG e as soluções inteiras com fonte.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analise.h"
#include "auxiliar.h"
#include "solver/solver.h"
#include "state/erro_fatal.h"

namespace {

using std::numbers::pi;

metodo_solver pedido(double eps, definicao_problema p) {
    metodo_solver m;
    m.eps = eps;
    m.problema = p;
    return m;
}

const definicao_problema senos_3_2{tipo_problema::senos, 3, 2, 0.0};

// Nível único nx x ny com o campo inicial do pedido (T criado, plano montado).
estado_execucao preparado(int nx, int ny, const metodo_solver& m, int tipo_ci = 0) {
    estado_execucao e = estado_de(entrada(1, nx, ny, "0", 1, 1, 1, tipo_ci));
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    const metodo_efetivo me = efetivo(e, m);
    montar_operadores(e, me);
    montar_fonte(e, me);
    preparar_campo_inicial(e, me);
    return e;
}

// Máximo do resíduo de cinco pontos de eps*u_xx + u_yy = -f da solução exata amostrada numa grade n x n.
double residuo_da_exata(const metodo_solver& m, int n) {
    estado_execucao e = preparado(n, n, m, 1);
    solucao_analitica(e, efetivo(e, m));
    const double ae = m.eps / (e.dx * e.dx), an = 1.0 / (e.dy * e.dy);
    double pior = 0.0;
    for (int j = 2; j < n; ++j)
        for (int i = 2; i < n; ++i) {
            const int P = i + (j - 1) * n;
            const double f = e.fonte.empty() ? 0.0 : e.fonte[static_cast<std::size_t>(P)];
            const double r = 2.0 * (ae + an) * e.T[P] - ae * (e.T[P - 1] + e.T[P + 1]) - an * (e.T[P - n] + e.T[P + n]) - f;
            pior = std::max(pior, std::fabs(r));
        }
    return pior;
}

} // namespace

// A fonte de sin:KX:KY é c * (sin(kx x) sin(ky y)) com c = eps*kx^2 + ky^2 nos pontos internos e zero no contorno;
// a de constant:F é F; linear e senoidal não têm fonte. Os contornos de sin e constant são zero.
TEST(Problema, FonteEContornos) {
    estado_execucao e = preparado(9, 5, pedido(0.1, senos_3_2));
    ASSERT_EQ(e.fonte.size(), 46u);
    const double kx = 3.0 * pi, ky = 2.0 * pi, c = 0.1 * (kx * kx) + ky * ky;
    for (int j = 1; j <= 5; ++j)
        for (int i = 1; i <= 9; ++i) {
            const int P = i + (j - 1) * 9;
            const bool contorno = i == 1 || i == 9 || j == 1 || j == 5;
            const double x = (i - 1) * 0.125, y = (j - 1) * 0.25;
            EXPECT_EQ(e.fonte[P], contorno ? 0.0 : c * (std::sin(kx * x) * std::sin(ky * y))) << i << "," << j;
            if (contorno) {
                EXPECT_EQ(e.T[P], 0.0) << i << "," << j;
            }
        }
    e = preparado(6, 4, pedido(3.0, {tipo_problema::constante, 1, 1, -2.5}));
    for (int j = 2; j <= 3; ++j)
        for (int i = 2; i <= 5; ++i) EXPECT_EQ(e.fonte[i + (j - 1) * 6], -2.5);
    EXPECT_EQ(e.T[6 * 4], 0.0);
    e = preparado(6, 4, pedido(3.0, {tipo_problema::linear, 1, 1, 0.0}));
    EXPECT_TRUE(e.fonte.empty());
    EXPECT_EQ(e.T[6 * 4], 1.0); // o canto nordeste do problema linear
    EXPECT_EQ(nivel_corrente(e).f, nullptr);
}

// A solução exata de cada problema satisfaz a sua equação: o resíduo de cinco pontos cai como h^2 (4 vezes de uma
// grade para a outra), na senoidal com eps != 1 (sinh(pi sqrt(eps) y)/sinh(pi sqrt(eps))) e na manufaturada com
// eps; com eps = 1 a senoidal guarda os bits de sempre (sinh(y pi) vezes o literal 1/sinh(pi)).
TEST(Problema, SolucoesExatasSatisfazemAsEquacoes) {
    for (const metodo_solver& m : {pedido(0.01, {tipo_problema::senoidal, 1, 1, 0.0}),
                                   pedido(4.0, {tipo_problema::senoidal, 1, 1, 0.0}), pedido(0.1, senos_3_2),
                                   pedido(1.0, {tipo_problema::senos, 1, 4, 0.0})}) {
        SCOPED_TRACE("eps " + std::to_string(m.eps) + ", " + texto_problema(m.problema));
        const double a = residuo_da_exata(m, 65), b = residuo_da_exata(m, 129), c = residuo_da_exata(m, 257);
        EXPECT_NEAR(a / b, 4.0, 0.25);
        EXPECT_NEAR(b / c, 4.0, 0.1);
    }
    estado_execucao e = preparado(5, 5, pedido(1.0, {tipo_problema::senoidal, 1, 1, 0.0}), 1);
    const double x = 0.75, y = 0.5;
    EXPECT_EQ(e.T[4 + 2 * 5], (std::sin(x * pi) * std::sinh(y * pi)) * 0.08658953753004696);
    // eps != 1: o norte é sin(pi x), o sul zero
    e = preparado(5, 5, pedido(0.04, {tipo_problema::senoidal, 1, 1, 0.0}), 1);
    solucao_analitica(e, efetivo(e, pedido(0.04, {tipo_problema::senoidal, 1, 1, 0.0})));
    EXPECT_NEAR(e.T[3 + 4 * 5], 1.0, 1e-15);
    EXPECT_EQ(e.T[3], 0.0);
    // sem solução exata: constant:F não parte dela
    EXPECT_THROW(solucao_analitica(e, efetivo(e, pedido(1.0, {tipo_problema::constante, 1, 1, 1.0}))), erro_fatal);
}

// Multigrid com fonte: os ciclos chegam à solução discreta exata (c/lambda) sin sin, e o FMG, que põe a fonte nos
// pontos de cada nível grosso, chega ao erro de discretização já na primeira iteração; sem a fonte nos níveis grossos
// a primeira iteração ficaria longe dela.
TEST(Problema, MultigridComFonte) {
    for (const double eps : {1.0, 0.2}) {
        const metodo_solver m = pedido(eps, {tipo_problema::senos, 1, 2, 0.0});
        estado_execucao e = estado_de(entrada(6, 3, 3, "1e-13", 40, 2, 2));
        const metodo_efetivo me = efetivo(e, m);
        resolver_multigrid(e, me);
        const solucao_discreta s = preparar_solucao_discreta(me, e.nxg[6], e.nyg[6]);
        const erro_dividido d = dividir_erro(s, e.T);
        EXPECT_LT(d.algebrico_max, 1e-11) << eps;
        EXPECT_GT(d.discretizacao_max, 1e-4) << eps;
        metodo_solver f = m;
        f.fmg = true;
        f.ciclo = tipo_ciclo::W;
        f.restricao = tipo_restricao::completa;
        estado_execucao g = estado_de(entrada(6, 3, 3, "0", 1, 2, 2));
        resolver_multigrid(g, efetivo(g, f));
        const erro_dividido p = dividir_erro(s, g.T);
        EXPECT_LT(p.algebrico_max, 0.5 * d.discretizacao_max) << eps;
    }
}
