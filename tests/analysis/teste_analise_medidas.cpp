// Medidas da análise: fator assintótico ajustado, trabalho por ciclo e divisão do erro de T.
#include <cmath>
#include <limits>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "plataforma_falsa.h"
#include "analysis/analise.h"
#include "solver/solver.h"

namespace {

constexpr double pi_teste() { return 3.141592653589793; }

std::vector<double> geometrica(double h0, double q, int n) {
    std::vector<double> h(static_cast<std::size_t>(n) + 1);
    for (int it = 0; it <= n; ++it) h[it] = h0 * std::pow(q, it);
    return h;
}

// Ciclos V clássicos com tolerância 0 até itmax: a história chega ao piso de arredondamento.
estado_execucao resolvido(int nm, int nx1, int ny1, int itmax, int problema, int nitm = 2) {
    falsa::reiniciar();
    estado_execucao e = estado_de(entrada(nm, nx1, ny1, "0.0", itmax, nitm, problema));
    if (nm == 1) resolver_malha_unica(e, efetivo(e));
    else resolver_multigrid(e, efetivo(e));
    return e;
}

} // namespace

TEST(AnaliseTaxa, HistoriasSinteticas) {
    // geométrica pura, até 1e-15 relativo: sem piso, q exato
    taxa_assintotica t = ajustar_taxa(geometrica(7.0, 0.3, 28));
    EXPECT_TRUE(t.valido);
    EXPECT_NEAR(t.q_assintotico, 0.3, 1e-12);
    EXPECT_NEAR(t.r2, 1.0, 1e-12);
    EXPECT_EQ(t.primeiro, 2);
    EXPECT_EQ(t.ultimo, 28);
    EXPECT_EQ(t.piso, -1);
    // genuinamente lenta, 0,97 por 300 ciclos: sem piso
    t = ajustar_taxa(geometrica(1.0, 0.97, 300));
    EXPECT_EQ(t.piso, -1);
    EXPECT_NEAR(t.q_assintotico, 0.97, 1e-12);
    // geométrica 0,2 até 1e-14, depois parada em ~0,97 com ruído: o piso começa onde a razão salta
    std::vector<double> h = geometrica(1.0, 0.2, 20);
    const double ruido[] = {0.97, 1.02, 0.95, 1.04, 0.97, 0.99, 1.01, 0.96};
    for (double r : ruido) h.push_back(h.back() * r);
    t = ajustar_taxa(h);
    EXPECT_EQ(t.piso, 21);
    EXPECT_EQ(t.ultimo, 18); // hist(19), hist(20) estão a menos de 10x o nível do piso
    EXPECT_EQ(t.primeiro, 2);
    EXPECT_NEAR(t.q_assintotico, 0.2, 1e-12);
    // primeiro escolhido pelo chamador
    t = ajustar_taxa(h, 5);
    EXPECT_EQ(t.primeiro, 5);
    EXPECT_NEAR(t.q_assintotico, 0.2, 1e-12);
}

TEST(AnaliseTaxa, MudancaDeFaseLongeDoArredondamentoNaoEPiso) {
    // 0,1 por 3 ciclos, depois 0,9 ainda a 1e-3 do início: é o fator assintótico, não um piso
    std::vector<double> h = geometrica(1.0, 0.1, 3);
    for (int it = 0; it < 40; ++it) h.push_back(h.back() * 0.9);
    taxa_assintotica t = ajustar_taxa(h);
    EXPECT_EQ(t.piso, -1);
    EXPECT_EQ(t.ultimo, 43);
    EXPECT_LT(t.r2, 0.999); // o transitório entra: R^2 mostra
    EXPECT_NEAR(ajustar_taxa(h, 3).q_assintotico, 0.9, 1e-12);
    // de 0,1 para 0,5, já a 1e-9: cai 0,3 dígito por ciclo, não parou (a)
    h = geometrica(1.0, 0.1, 9);
    for (int it = 0; it < 10; ++it) h.push_back(h.back() * 0.5);
    EXPECT_EQ(ajustar_taxa(h).piso, -1);
    // de 0,06 para 0,96 depois de 8 ordens (o modo lento de um coeficiente que salta por 1e4), sem subir nunca: não é
    // piso (d), e a segunda metade dá o 0,96; o mesmo com o resíduo subindo uma vez é piso
    h = geometrica(1.0, 0.06, 7);
    for (int it = 0; it < 60; ++it) h.push_back(h.back() * 0.96);
    EXPECT_EQ(ajustar_taxa(h).piso, -1);
    EXPECT_NEAR(ajustar_taxa_assintotica(h).q_assintotico, 0.96, 1e-12);
    h[40] = h[39] * 1.01;
    EXPECT_EQ(ajustar_taxa(h).piso, 8);
}

TEST(AnaliseTaxa, HistoriasCurtasZerosENaN) {
    EXPECT_FALSE(ajustar_taxa(geometrica(1.0, 0.5, 3)).valido); // hist(2..3): 2 pontos
    EXPECT_TRUE(ajustar_taxa(geometrica(1.0, 0.5, 4)).valido);
    EXPECT_FALSE(ajustar_taxa(std::vector<double>{}).valido);
    taxa_assintotica t = ajustar_taxa(std::vector<double>{4.0, 0.0});
    EXPECT_FALSE(t.valido);
    EXPECT_TRUE(std::isnan(t.q_assintotico));
    EXPECT_EQ(t.piso, 1);
    // zero exato: o piso em si; o ajuste para antes
    t = ajustar_taxa(std::vector<double>{100, 10, 1, 0.1, 0.01, 0.0, 0.0});
    EXPECT_TRUE(t.valido);
    EXPECT_EQ(t.piso, 5);
    EXPECT_EQ(t.ultimo, 4);
    EXPECT_NEAR(t.q_assintotico, 0.1, 1e-12);
    // NaN ou infinito encerram os dados
    const double nan_ = std::numeric_limits<double>::quiet_NaN();
    t = ajustar_taxa(std::vector<double>{1, 0.5, 0.25, 0.125, 0.0625, nan_, 1.0});
    EXPECT_EQ(t.ultimo, 4);
    EXPECT_EQ(t.piso, -1);
    EXPECT_NEAR(t.q_assintotico, 0.5, 1e-12);
    t = ajustar_taxa(std::vector<double>{1, 0.5, 0.25, std::numeric_limits<double>::infinity(), 0.1});
    EXPECT_FALSE(t.valido);
    // constante: q = 1, reta exata
    t = ajustar_taxa(std::vector<double>(10, 3.0));
    EXPECT_EQ(t.q_assintotico, 1.0);
    EXPECT_EQ(t.r2, 1.0);
}

TEST(AnaliseTaxa, HistoriaDoSolverAtePiso) {
    // 129 x 129, senoidal, V(2,2) clássico, 40 ciclos: ~0,13 por ciclo até ~1e-14, depois o piso
    const estado_execucao e = resolvido(7, 3, 3, 40, 2);
    const taxa_assintotica t = ajustar_taxa(std::span<const double>(e.hist.data(), e.niter + 1));
    ASSERT_TRUE(t.valido);
    ASSERT_GT(t.piso, 0);
    EXPECT_LT(e.hist[t.ultimo] / e.hist[0], 1e-11);
    EXPECT_GT(e.hist[e.niter] / e.hist[t.piso], 0.1); // do piso em diante não cai mais uma ordem
    EXPECT_GT(t.r2, 0.999);
    // a média geométrica de q(3..ultimo) é o mesmo fator, a 5%
    const double qmed = std::pow(e.hist[t.ultimo] / e.hist[2], 1.0 / (t.ultimo - 2));
    EXPECT_NEAR(t.q_assintotico / qmed, 1.0, 0.05);
}

TEST(AnaliseTrabalho, VisitasDosCiclos) {
    const std::vector<int> n{0, 3, 5, 9, 17, 33};
    metodo_solver m;
    const std::vector<double> v{0, 1, 1, 1, 1, 1}, w{0, 16, 8, 4, 2, 1}, f{0, 5, 4, 3, 2, 1};
    EXPECT_EQ(calcular_trabalho(metodo_efetivo(m, 1, 5, 2), 1, n, n, 5).visitas, v);
    m.ciclo = tipo_ciclo::W;
    EXPECT_EQ(calcular_trabalho(metodo_efetivo(m, 1, 5, 2), 1, n, n, 5).visitas, w);
    m.ciclo = tipo_ciclo::F;
    EXPECT_EQ(calcular_trabalho(metodo_efetivo(m, 1, 5, 2), 1, n, n, 5).visitas, f);
}

TEST(AnaliseTrabalho, UnidadesDeTrabalho) {
    // níveis 3, 5, 9, 17: pontos internos 1, 9, 49, 225
    const std::vector<int> n{0, 3, 5, 9, 17};
    metodo_solver m; // V, pré = pós = grosso = nitm = 2, gs-lex
    trabalho_ciclo t = calcular_trabalho(metodo_efetivo(m, 2, 4, 2), 2, n, n, 4);
    EXPECT_NEAR(t.varreduras, 4.0 + 4.0 * (49.0 + 9.0) / 225.0 + 2.0 / 225.0, 1e-14);
    EXPECT_NEAR(t.restricoes, 1.0 + (49.0 + 9.0) / 225.0, 1e-14);
    EXPECT_EQ(t.restricoes, t.prolongacoes);
    EXPECT_EQ(t.solucoes_exatas, 0.0);
    // gs-sym e line-alt contam 2 passadas por varredura; line-x 1
    m.suavizador = tipo_suavizador::gs_sym;
    EXPECT_NEAR(calcular_trabalho(metodo_efetivo(m, 2, 4, 2), 2, n, n, 4).varreduras, 2.0 * t.varreduras, 1e-14);
    m.suavizador = tipo_suavizador::linha_alt;
    EXPECT_NEAR(calcular_trabalho(metodo_efetivo(m, 2, 4, 2), 2, n, n, 4).varreduras, 2.0 * t.varreduras, 1e-14);
    m.suavizador = tipo_suavizador::linha_x;
    EXPECT_NEAR(calcular_trabalho(metodo_efetivo(m, 2, 4, 2), 2, n, n, 4).varreduras, t.varreduras, 1e-14);
    // W(1,2) com o nível 1 resolvido: visitas 4, 2, 1 nos níveis 2..4; 8 soluções exatas
    m = {};
    m.ciclo = tipo_ciclo::W;
    m.pre = 1;
    m.pos = 2;
    m.grosso_exato = true;
    t = calcular_trabalho(metodo_efetivo(m, 7, 4, 2), 7, n, n, 4);
    EXPECT_NEAR(t.varreduras, 3.0 * (1.0 + 2.0 * 49.0 / 225.0 + 4.0 * 9.0 / 225.0), 1e-14);
    EXPECT_EQ(t.solucoes_exatas, 8.0);
    // grade não quadrada: pesos pelos pontos internos de cada direção
    const std::vector<int> nx{0, 3, 5}, ny{0, 5, 9};
    m = {};
    EXPECT_NEAR(calcular_trabalho(metodo_efetivo(m, 1, 2, 2), 1, nx, ny, 2).varreduras, 2.0 + 3.0 / 21.0, 1e-14);
    // malha única: nitm varreduras, sem transferências; sem pontos internos: 0
    t = calcular_trabalho(metodo_efetivo(m, 3, 1, 2), 3, std::vector<int>{0, 9}, std::vector<int>{0, 9}, 1);
    EXPECT_EQ(t.varreduras, 3.0);
    EXPECT_EQ(t.restricoes, 0.0);
    EXPECT_EQ(calcular_trabalho(metodo_efetivo(m, 3, 1, 2), 3, std::vector<int>{0, 2}, std::vector<int>{0, 9}, 1).varreduras, 0.0);
}

TEST(AnaliseTrabalho, InicioMultigridCompletoEPorUnidade) {
    // V(1,1), grosso 1, níveis 3, 5, 9 (1, 9, 49 internos): nível 1, depois ciclo em 2 e ciclo em 3
    const std::vector<int> n{0, 3, 5, 9};
    metodo_solver m;
    m.fmg = true;
    const trabalho_ciclo t = calcular_trabalho_fmg(metodo_efetivo(m, 1, 3, 2), n, n, 3);
    EXPECT_NEAR(t.varreduras, (1.0 + (2.0 * 9.0 + 1.0) + (2.0 * 49.0 + 2.0 * 9.0 + 1.0)) / 49.0, 1e-14);
    EXPECT_NEAR(t.prolongacoes, (9.0 + 49.0) / 49.0 + (9.0 + (49.0 + 9.0)) / 49.0, 1e-14);
    EXPECT_EQ(t.visitas, (std::vector<double>{0, 3, 2, 1}));
    EXPECT_EQ(calcular_trabalho_fmg(metodo_efetivo(m, 1, 1, 2), std::vector<int>{0, 9}, std::vector<int>{0, 9}, 1).varreduras, 0.0);
    EXPECT_NEAR(fator_por_trabalho(0.01, 2.0), 0.1, 1e-15);
    EXPECT_NEAR(digitos_por_trabalho(0.01, 4.0), 0.5, 1e-15);
    for (double q : {0.0, -0.5, std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_TRUE(std::isnan(fator_por_trabalho(q, 1.0)));
        EXPECT_TRUE(std::isnan(digitos_por_trabalho(q, 1.0)));
    }
    EXPECT_TRUE(std::isnan(fator_por_trabalho(0.5, 0.0)));
}

TEST(AnaliseErro, ExpoenteERazaoSemCancelamento) {
    // cosh(m dy) = 1 + (ae/an)(1 - cos(pi dx)), também com dx != dy
    for (const auto& [dx, dy] : {std::pair{1.0 / 16, 1.0 / 16}, {1.0 / 512, 1.0 / 8}, {0.25, 1.0 / 1024}, {0.5, 0.5}}) {
        const double m = expoente_discreto(dx, dy);
        // os dois lados sem cancelamento: cosh(a) - 1 = 2 sinh^2(a/2), 1 - cos(b) = 2 sin^2(b/2)
        const double d = (dy * dy) / (dx * dx) * (2.0 * std::pow(std::sin(0.5 * pi_teste() * dx), 2));
        EXPECT_NEAR(2.0 * std::pow(std::sinh(0.5 * m * dy), 2), d, 1e-14 * d) << dx << " " << dy;
    }
    // d pequeno: acosh(1 + d) = sqrt(2d) (1 - d/12 + ...); a forma ingênua perde metade dos dígitos
    const double dx = 1e-6, dy = 1e-6, d = 2.0 * std::pow(std::sin(0.5 * pi_teste() * dx), 2);
    EXPECT_NEAR(expoente_discreto(dx, dy) * dy / (std::sqrt(2.0 * d) * (1.0 - d / 12.0)), 1.0, 1e-14);
    // m -> pi quando h -> 0 (erro O(h^2))
    EXPECT_NEAR(expoente_discreto(1.0 / 1024, 1.0 / 1024), pi_teste(), 1e-5);
    // sinh(m y)/sinh(m): contra a forma direta, e sem estouro para m grande
    for (double y : {0.0, 1e-9, 0.3, 0.999})
        EXPECT_NEAR(razao_sinh(2.5, y), std::sinh(2.5 * y) / std::sinh(2.5), 1e-15);
    EXPECT_EQ(razao_sinh(3.0, 1.0), 1.0);
    EXPECT_EQ(razao_sinh(3.0, 0.0), 0.0);
    EXPECT_NEAR(razao_sinh(800.0, 0.999), std::exp(-0.8), 1e-15);
}

TEST(AnaliseErro, SolucaoDiscretaSatisfazAsEquacoes) {
    for (const auto& [nx, ny] : {std::pair{17, 33}, {33, 9}, {65, 65}}) {
        const solucao_discreta s = preparar_solucao_discreta(do_problema(2), nx, ny);
        // T = a própria solução discreta: erro algébrico 0
        std::vector<double> t(static_cast<std::size_t>(nx * ny) + 1);
        for (int j = 1; j <= ny; ++j)
            for (int i = 1; i <= nx; ++i) t[i + (j - 1) * nx] = i == 1 || i == nx || j == 1 || j == ny
                                                                  ? (j == ny && i < nx && i > 1 ? std::sin(((i - 1) * s.dx) * pi_teste()) : 0.0)
                                                                  : s.fx[i] * s.gy[j];
        EXPECT_EQ(dividir_erro(s, t).algebrico_max, 0.0);
        const double ae = 1.0 / (s.dx * s.dx), an = 1.0 / (s.dy * s.dy), ap = 2.0 * (ae + an);
        double pior = 0.0;
        for (int j = 2; j < ny; ++j)
            for (int i = 2; i < nx; ++i) {
                const int p = i + (j - 1) * nx;
                pior = std::max(pior, std::fabs(ap * t[p] - ae * (t[p - 1] + t[p + 1]) - an * (t[p - nx] + t[p + nx])));
            }
        EXPECT_LT(pior, 1e-13 * ap) << nx << " x " << ny;
    }
}

TEST(AnaliseErro, CampoConvergidoPeloSolver) {
    // ciclos V até o piso: T é a solução discreta a menos do arredondamento (1e-12 relativo)
    for (const auto& [problema, nx1, ny1] : {std::tuple{2, 3, 3}, {2, 3, 5}, {1, 5, 3}}) {
        const estado_execucao e = resolvido(6, nx1, ny1, 30, problema);
        const int nx = e.nxg[6], ny = e.nyg[6];
        const solucao_discreta s = preparar_solucao_discreta(do_problema(problema), nx, ny);
        const erro_dividido r = dividir_erro(s, e.T);
        EXPECT_LT(r.algebrico_max, 1e-12) << problema << " " << nx << " x " << ny; // max |T_discreta| = 1
        EXPECT_LT(r.algebrico_medio, r.algebrico_max + 1e-300);
        // a versão por iteração dá o mesmo erro algébrico, sem a discretização
        const erro_dividido a = erro_algebrico(s, e.T);
        EXPECT_EQ(a.algebrico_max, r.algebrico_max);
        EXPECT_EQ(a.algebrico_medio, r.algebrico_medio);
        EXPECT_TRUE(std::isnan(a.discretizacao_max));
        if (problema == 1) {
            EXPECT_LT(r.discretizacao_max, 1e-15); // x*y é exato nas equações
        } else {
            EXPECT_GT(r.discretizacao_max, 1e-6);
        }
    }
    // o erro algébrico enxerga uma perturbação de um ponto
    estado_execucao e = resolvido(4, 3, 3, 30, 2);
    const solucao_discreta s = preparar_solucao_discreta(do_problema(2), 17, 17);
    e.T[8 + 7 * 17] += 1e-3;
    EXPECT_NEAR(erro_algebrico(s, e.T).algebrico_max, 1e-3, 1e-12);
    EXPECT_TRUE(std::isnan(erro_algebrico(s, std::vector<double>(17 * 17)).algebrico_max)); // T curto
}

TEST(AnaliseErro, OrdemObservadaDaDiscretizacao) {
    // senoidal, grades sucessivas de 17 pontos (na direção mais grossa) em diante, quadradas e com dy = 2 dx:
    // log2(e_h / e_h/2) = 2,00 +- 0,02 (9 -> 17 dá 1,96: ainda fora do regime assintótico)
    for (int fator : {1, 2}) {
        double anterior = 0.0;
        for (int n = 17 * fator - (fator - 1); n <= 1025; n = 2 * n - 1) {
            const solucao_discreta s = preparar_solucao_discreta(do_problema(2), n, (n - 1) / fator + 1);
            const double e = dividir_erro(s, std::vector<double>(static_cast<std::size_t>(s.nx * s.ny) + 1)).discretizacao_max;
            if (anterior > 0.0) {
                EXPECT_NEAR(std::log2(anterior / e), 2.0, 0.02) << n << " fator " << fator;
            }
            anterior = e;
        }
    }
}

TEST(AnaliseErro, CampoDoErroAlgebricoComSinal) {
    // x*y é a solução discreta do linear: o campo do erro é zero, salvo onde T foi perturbado, com o sinal de T - T_d
    const solucao_discreta s = preparar_solucao_discreta(do_problema(1), 5, 3);
    std::vector<double> T(16);
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 5; ++i) T[i + (j - 1) * 5] = ((j - 1) * 0.5) * ((i - 1) * 0.25);
    T[2 + 5] -= 0.125;
    const std::vector<double> e = campo_erro_algebrico(s, T);
    ASSERT_EQ(e.size(), 16u);
    for (int P = 1; P <= 15; ++P) EXPECT_EQ(e[P], P == 7 ? -0.125 : 0.0) << P;
    // sem solução exata (fonte constante): NaN em todo ponto
    metodo_solver m;
    m.problema = {tipo_problema::constante, 1, 1, 2.0};
    for (double v : campo_erro_algebrico(preparar_solucao_discreta(metodo_efetivo(m, 1, 2, 1), 5, 3), T))
        EXPECT_TRUE(std::isnan(v));
}
