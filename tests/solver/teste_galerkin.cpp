// Os operadores grossos de Galerkin e os núcleos de nove pontos: o estêncil conhecido do laplaciano, a simetria com
// um salto, e suavizadores, resíduo e solução direta que concordam entre si num nível de nove pontos.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"

namespace {

// O estado de uma entrada nm x (3 x 3 no nível 1) com os operadores do método montados.
estado_execucao montado(int nm, const metodo_solver& m) {
    estado_execucao e = estado_de(entrada(nm, 3, 3, "1e-6", 5, 2, 2));
    montar_operadores(e, efetivo(e, m));
    return e;
}

metodo_solver galerkin(tipo_restricao r, const char* coeficiente = nullptr, double c = 1.0) {
    metodo_solver m;
    m.operador_grosso = tipo_operador_grosso::galerkin;
    m.restricao = r;
    if (coeficiente) {
        m.coeficiente.tipo = tipo_coeficiente::salto;
        m.coeficiente.c = c;
    }
    return m;
}

// Um nível com u e f ao acaso (u no contorno também) sobre o operador do nível k.
struct nivel_com_campo {
    std::vector<double> u, f;
    vista_nivel v;
    nivel_com_campo(const estado_execucao& e, int k) : v(vista_do_operador(e, k)) {
        const std::size_t n = static_cast<std::size_t>(v.nx) * v.ny + 1;
        u.assign(n, 0.0);
        f.assign(n, 0.0);
        std::uint64_t s = 5;
        for (std::size_t i = 1; i < n; ++i) u[i] = proximo_aleatorio(s), f[i] = 100.0 * proximo_aleatorio(s);
        v.u = u.data();
        v.f = f.data();
    }
};

} // namespace

// R A P do laplaciano de cinco pontos (h = 1/8) com a ponderação completa e a interpolação bilinear: o estêncil de
// nove pontos conhecido, (1/(4 H^2)) [-1 -2 -1; -2 12 -2; -1 -2 -1] com H = 1/4, exato (números diádicos); a
// transposta da bilinear dá o mesmo; a injeção, o dobro do rediscretizado.
TEST(Galerkin, LaplacianoDaONoveConhecido) {
    const estado_execucao e = montado(3, galerkin(tipo_restricao::completa));
    const operador_nivel& o = e.operadores[2];
    ASSERT_EQ(o.forma, forma_operador::nove_constante);
    const estencil9 esperado = {4.0, 8.0, 4.0, 8.0, 48.0, 8.0, 4.0, 8.0, 4.0}; // ap e acoplamentos (sinal de ae)
    for (int g = 0; g < 9; ++g) EXPECT_EQ(o.nove[g], esperado[g]) << g;
    EXPECT_EQ(e.operadores[3].forma, forma_operador::cinco_constante); // o mais fino não muda
    const estencil9 fino = {0.0, 64.0, 0.0, 64.0, 256.0, 64.0, 0.0, 64.0, 0.0};
    const pesos_constantes bilinear;
    const estencil9 t = galerkin_constante(fino, true, bilinear, tipo_restricao::transposta, tipo_engrossamento::completo);
    for (int g = 0; g < 9; ++g) EXPECT_EQ(t[g], esperado[g]) << g;
    const estencil9 inj = galerkin_constante(fino, true, bilinear, tipo_restricao::injecao, tipo_engrossamento::completo);
    const estencil9 dobro = {0.0, 32.0, 0.0, 32.0, 128.0, 32.0, 0.0, 32.0, 0.0};
    for (int g = 0; g < 9; ++g) EXPECT_EQ(inj[g], dobro[g]) << g;
    // semiengrossamento em x com a completa de uma direção: (R A_x P) x I + (R P) x A_y, com R A_x P = 16 [-1 2 -1]
    // e R P = [1/8 3/4 1/8]: o centro 32 + 0.75*128, o leste 16 - 0.125*128 = 0, o norte 0.75*64, a diagonal 0.125*64
    const estencil9 sx = galerkin_constante(fino, true, bilinear, tipo_restricao::completa, tipo_engrossamento::x);
    const estencil9 semi = {8.0, 48.0, 8.0, 0.0, 128.0, 0.0, 8.0, 48.0, 8.0};
    for (int g = 0; g < 9; ++g) EXPECT_EQ(sx[g], semi[g]) << g;
    // em y, o mesmo transposto
    const estencil9 sy = galerkin_constante(fino, true, bilinear, tipo_restricao::transposta, tipo_engrossamento::y);
    const estencil9 semi_y = {8.0, 0.0, 8.0, 48.0, 128.0, 48.0, 8.0, 0.0, 8.0};
    for (int g = 0; g < 9; ++g) EXPECT_EQ(sy[g], semi_y[g]) << g;
}

// Com kappa = 1 a forma por ponto dá o estêncil da constante (a menos de arredondamento); com um salto de 1e4 o
// operador de Galerkin com a restrição transposta é simétrico: o acoplamento de C com o leste é o do leste com C.
TEST(Galerkin, PorPontoESimetrico) {
    metodo_solver um = galerkin(tipo_restricao::completa, "jump", 1.0);
    um.coeficiente.c = 1.0 + 0x1p-50; // varia (C != 1) mas quase nada: a forma por ponto
    const estado_execucao e = montado(3, um);
    ASSERT_EQ(e.operadores[2].forma, forma_operador::nove_variavel);
    const vista_nivel v = vista_do_operador(e, 2);
    const estencil9 esperado = {4.0, 8.0, 4.0, 8.0, 48.0, 8.0, 4.0, 8.0, 4.0};
    for (long P : {7L, 13L, 19L})
        for (int g = 0; g < 9; ++g) EXPECT_NEAR(estencil_no_ponto(v, P)[g], esperado[g], 1e-12) << P << " " << g;
    metodo_solver salto = galerkin(tipo_restricao::transposta, "jump", 1e4);
    salto.interpolacao = tipo_interpolacao::operador;
    const estado_execucao s = montado(4, salto);
    for (int k = 1; k <= 3; ++k) {
        const vista_nivel g = vista_do_operador(s, k);
        for (long j = 2; j <= g.ny - 2; ++j)
            for (long i = 2; i <= g.nx - 2; ++i) {
                const long P = i + (j - 1) * g.nx;
                const estencil9 a = estencil_no_ponto(g, P), l = estencil_no_ponto(g, P + 1),
                                n = estencil_no_ponto(g, P + g.nx), ne = estencil_no_ponto(g, P + g.nx + 1);
                EXPECT_NEAR(a[posicao9(1, 0)], l[posicao9(-1, 0)], 1e-9 * a[centro9]) << k << " " << P;
                EXPECT_NEAR(a[posicao9(0, 1)], n[posicao9(0, -1)], 1e-9 * a[centro9]) << k << " " << P;
                EXPECT_NEAR(a[posicao9(1, 1)], ne[posicao9(-1, -1)], 1e-9 * a[centro9]) << k << " " << P;
                EXPECT_GT(a[centro9], 0.0);
            }
    }
}

// Num nível de nove pontos com salto: a solução direta zera a norma do resíduo, e cada suavizador, partindo de um
// campo ao acaso, reduz a norma a quase nada em muitas varreduras (os três usam o mesmo estêncil). O salto é pequeno
// (C = 2): com C = 100 o bloco interno quase solto deixa Gauss-Seidel lento demais para um teste (a física do salto).
TEST(Galerkin, NucleosDeNovePontosConcordam) {
    metodo_solver m = galerkin(tipo_restricao::transposta, "jump", 2.0);
    m.interpolacao = tipo_interpolacao::operador;
    const estado_execucao e = montado(4, m);
    ASSERT_EQ(e.operadores[3].forma, forma_operador::nove_variavel);
    {
        nivel_com_campo n(e, 3);
        const double antes = norma_nivel(n.v);
        fator_banda f;
        fatorar_nivel_grosso(f, n.v);
        resolver_nivel_grosso(f, n.v);
        EXPECT_LT(norma_nivel(n.v), 1e-12 * antes);
    }
    std::vector<double> rascunho(4096);
    for (const componente_suavizador& c : suavizadores()) {
        nivel_com_campo n(e, 3);
        const double antes = norma_nivel(n.v);
        nucleo(c.tipo, forma_operador::nove_variavel)(
            n.v, {.omega = c.omega_padrao, .eq = nullptr, .rascunho = rascunho.data()}, 600);
        EXPECT_LT(norma_nivel(n.v), 1e-8 * antes) << c.nome;
    }
}
