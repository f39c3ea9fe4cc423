// As transferências robustas: a restrição transposta (a ponderação completa com a bilinear), os pesos da interpolação
// dependente do operador (um salto 1-D feito à mão) e os tamanhos dos níveis no semiengrossamento.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"

namespace {

// Um nível 9 x 7 com resíduo ao acaso (u e f), o seu nível de baixo 5 x 4.
struct par_de_niveis {
    std::vector<double> u, f, grossa;
    vista_nivel v;
    par_de_niveis() : u(64), f(64), grossa(21, 0.0) {
        std::uint64_t s = 3;
        for (std::size_t i = 1; i < u.size(); ++i) u[i] = proximo_aleatorio(s), f[i] = proximo_aleatorio(s);
        v = vista_de(u, &f, 9, 7);
    }
};

} // namespace

// R = P^T / 4: com a interpolação bilinear, a ponderação completa (a menos do arredondamento da sua ordem); com a
// interpolação pelo operador de um laplaciano constante também (os pesos são 1/2 e 1/4 exatos).
TEST(Transferencias, TranspostaDaBilinearEAPonderacaoCompleta) {
    par_de_niveis a, b;
    std::vector<double> rascunho(64);
    nucleo(tipo_restricao::completa)(a.v, abaixo(a.grossa.data(), 5, 4), rascunho.data());
    nucleo(tipo_restricao::transposta)(b.v, abaixo(b.grossa.data(), 5, 4), rascunho.data());
    double maior = 0.0;
    for (double x : a.grossa) maior = std::fmax(maior, std::fabs(x));
    ASSERT_GT(maior, 0.0);
    for (std::size_t i = 0; i < a.grossa.size(); ++i) EXPECT_NEAR(b.grossa[i], a.grossa[i], 1e-14 * maior) << i;
    const estencil9 laplaciano = {0.0, b.v.an, 0.0, b.v.ae, b.v.ap, b.v.ae, 0.0, b.v.an, 0.0};
    const pesos_constantes w = pesos_do_estencil(laplaciano, tipo_engrossamento::completo);
    const pesos_constantes bilinear;
    for (auto [x, y] : {std::pair{w.oeste, bilinear.oeste}, {w.leste, bilinear.leste}, {w.sul, bilinear.sul},
                        {w.norte, bilinear.norte}, {w.sudoeste, bilinear.sudoeste}, {w.nordeste, bilinear.nordeste}})
        EXPECT_EQ(x, y);
    // semiengrossamento: a transposta de uma direção é a completa de uma direção
    par_de_niveis c, d;
    std::vector<double> gc(36, 0.0), gd(36, 0.0); // 5 x 7
    nucleo(tipo_restricao::completa, forma_operador::cinco_constante, tipo_engrossamento::x)(
        c.v, abaixo(gc.data(), 5, 7), rascunho.data());
    nucleo(tipo_restricao::transposta, forma_operador::cinco_constante, tipo_engrossamento::x)(
        d.v, abaixo(gd.data(), 5, 7), rascunho.data());
    for (std::size_t i = 0; i < gc.size(); ++i) EXPECT_NEAR(gd[i], gc[i], 1e-14 * maior) << i;
    EXPECT_NE(gc[2 + 5], 0.0);
}

// Um salto 1-D à mão: nxg = 5 (h = 1/4, ae = an = 16), kappa = 3 nas células de (1/4, 3/4)^2. O ponto de aresta x
// q = (2, 3) tem a oeste a aresta de kappa 1 (ax = 16), a leste a de kappa 3 (ax = 48), ao sul e ao norte arestas
// de kappa (1 + 3)/2 (ay = 32), ap = 128. Soma vertical: e = (128 - 32) - 32 = 64; oeste 16/64 = 1/4, leste 48/64
// = 3/4: o fluxo, não o valor, é contínuo através do salto. A bilinear daria 1/2 e 1/2.
TEST(Transferencias, PesoDependenteDoOperadorNumSalto) {
    estado_execucao e = estado_de(entrada(2, 3, 3, "1e-6", 5, 2, 2));
    metodo_solver m;
    m.interpolacao = tipo_interpolacao::operador;
    m.coeficiente.tipo = tipo_coeficiente::salto;
    m.coeficiente.c = 3.0;
    montar_operadores(e, efetivo(e, m));
    const vista_interpolacao i = vista_da_interpolacao(e, 2);
    ASSERT_EQ(i.forma, forma_interpolacao::operador_variavel);
    const long nxy = 25, q = 2 + 2 * 5;
    EXPECT_EQ(i.pesos[q], 0.25);
    EXPECT_EQ(i.pesos[nxy + q], 0.75);
    // o ponto de aresta y (3, 2), simétrico: ao sul kappa 1, ao norte 3
    const long r = 3 + 1 * 5;
    EXPECT_EQ(i.pesos[r], 0.25);
    EXPECT_EQ(i.pesos[nxy + r], 0.75);
    // o centro (2, 2): a célula de kappa 3 a nordeste; os quatro pesos somam 1 (as linhas do operador somam 0)
    const long c = 2 + 1 * 5;
    const double soma = (i.pesos[c] + i.pesos[nxy + c]) + (i.pesos[2 * nxy + c] + i.pesos[3 * nxy + c]);
    EXPECT_NEAR(soma, 1.0, 1e-15);
    EXPECT_GT(i.pesos[3 * nxy + c], i.pesos[c]);
    // a prolongação usa esses pesos: cor = 1 no pai leste de q, 0 no oeste
    std::vector<double> u(26, 0.0), cor(10, 0.0);
    cor[2 + 1 * 3] = 1.0; // o ponto grosso (2, 2), o fino (3, 3): pai leste de q
    vista_nivel f = vista_do_operador(e, 2);
    f.u = u.data();
    nivel_abaixo g = abaixo(nullptr, 3, 3, cor.data());
    g.interpolacao = i;
    nucleo(i.forma, tipo_engrossamento::completo)(f, g);
    EXPECT_EQ(u[q], 0.75);
}

// Os níveis do semiengrossamento: o mais fino é o da entrada, e cada nível grosso divide ao meio só a direção
// engrossada; nxyt soma os níveis. nm = 4, nxg(1) = 3, nyg(1) = 5: o mais fino 17 x 33.
TEST(Transferencias, NiveisDoSemiengrossamento) {
    const estado_execucao base = estado_de(entrada(4, 3, 5, "1e-6", 5, 2, 2));
    ASSERT_EQ(base.nxg[4], 17);
    ASSERT_EQ(base.nyg[4], 33);
    estado_execucao x = base, y = base, completo = base;
    derivar_niveis_grossos(x, tipo_engrossamento::x);
    derivar_niveis_grossos(y, tipo_engrossamento::y);
    derivar_niveis_grossos(completo, tipo_engrossamento::completo);
    EXPECT_EQ(x.nxg, (std::vector<int>{base.nxg[0], 3, 5, 9, 17}));
    EXPECT_EQ(x.nyg, (std::vector<int>{base.nyg[0], 33, 33, 33, 33}));
    EXPECT_EQ(y.nxg, (std::vector<int>{base.nxg[0], 17, 17, 17, 17}));
    EXPECT_EQ(y.nyg, (std::vector<int>{base.nyg[0], 5, 9, 17, 33}));
    EXPECT_EQ(x.nxyt, (3 + 5 + 9 + 17) * 33);
    EXPECT_EQ(y.nxyt, 17 * (5 + 9 + 17 + 33));
    EXPECT_EQ(completo.nxg, base.nxg);
    EXPECT_EQ(completo.nyg, base.nyg);
    EXPECT_EQ(completo.nxyt, base.nxyt);
    // uma rodada semiengrossada converge como multigrid (linhas no sentido não engrossado)
    metodo_solver m;
    m.engrossamento = tipo_engrossamento::y;
    m.suavizador = tipo_suavizador::linha_x;
    estado_execucao r = estado_de(entrada(4, 3, 5, "1e-6", 30, 2, 2));
    resolver_multigrid(r, efetivo(r, m));
    EXPECT_EQ(r.nyg[1], 5);
    EXPECT_LT(r.niter, 10);
    EXPECT_LT(r.hist[static_cast<std::size_t>(r.niter)], 1e-6 * r.hist[0]);
}
