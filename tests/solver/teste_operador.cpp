// O operador de cada nível: eps em ae, os campos de kappa célula por célula, a média nas células grossas, os
// coeficientes de aresta e a diagonal conferidos à mão, e os núcleos variáveis contra os constantes com kappa = 1.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

// Estado de nm níveis a partir de nx1 x ny1 com os operadores montados para o pedido m.
estado_execucao montado(int nm, int nx1, int ny1, const metodo_solver& m) {
    estado_execucao e = estado_de(entrada(nm, nx1, ny1, "0", 1, 1, 2));
    montar_operadores(e, efetivo(e, m));
    return e;
}

metodo_solver com_coeficiente(tipo_coeficiente t, double c, int faixas = 1, std::uint64_t semente = 1) {
    metodo_solver m;
    m.coeficiente = {t, c, faixas, semente};
    return m;
}

// O campo como texto, linha de cima primeiro: 'C' onde kappa vale c, '.' onde vale 1.
std::vector<std::string> desenho(const estado_execucao& e, double c) {
    const int n1 = e.nxg[e.nm] - 1, m1 = e.nyg[e.nm] - 1;
    std::vector<std::string> r;
    for (int J = m1; J >= 1; --J) {
        std::string l;
        for (int I = 1; I <= n1; ++I) {
            const double k = e.kappa[static_cast<std::size_t>(I + (J - 1) * n1)];
            l += k == c ? 'C' : k == 1.0 ? '.' : '?';
        }
        r.push_back(l);
    }
    return r;
}

// Vista de um nível nx x ny com o operador variável de um kappa por célula dado (índices a partir de 1).
struct nivel_de_kappa {
    std::vector<double> u, f, pesos;
    vista_nivel v;
    nivel_de_kappa(int nx, int ny, const std::vector<double>& kappa, double eps, unsigned semente) {
        std::mt19937_64 g(semente);
        uniforme d(-1.0, 1.0);
        u.assign(static_cast<std::size_t>(nx * ny) + 1, 0.0);
        f.assign(u.size(), 0.0);
        for (std::size_t p = 1; p < u.size(); ++p) u[p] = d(g), f[p] = 50.0 * d(g);
        v = vista_de(u, &f, nx, ny);
        const operador_nivel o = operador_constante(1.0 / (nx - 1), 1.0 / (ny - 1), eps);
        v.ae = o.ae;
        v.an = o.an;
        v.ap = o.ap;
        // os coeficientes de aresta como montar_operadores os forma (doc/metodo.md, 2.3)
        pesos.assign(3 * u.size(), 0.0);
        const long n = nx, nxy = static_cast<long>(nx) * ny;
        auto k = [&](long I, long J) { return kappa[static_cast<std::size_t>(I + (J - 1) * (nx - 1))]; };
        double* ax = pesos.data();
        double* ay = ax + nxy;
        double* ap = ay + nxy;
        for (long j = 2; j <= ny - 1; ++j)
            for (long i = 2; i <= nx; ++i) ax[i + (j - 1) * n] = o.ae * ((k(i - 1, j - 1) + k(i - 1, j)) * 0.5);
        for (long j = 2; j <= ny; ++j)
            for (long i = 2; i <= nx - 1; ++i) ay[i + (j - 1) * n] = o.an * ((k(i - 1, j - 1) + k(i, j - 1)) * 0.5);
        for (long j = 2; j <= ny - 1; ++j)
            for (long i = 2; i <= nx - 1; ++i) {
                const long P = i + (j - 1) * n;
                ap[P] = (ax[P] + ax[P + 1]) + (ay[P] + ay[P + n]);
            }
        v.forma = forma_operador::cinco_variavel;
        v.pesos = pesos.data();
    }
};

} // namespace

// ae leva eps, an não; com eps = 1 os bits do laplaciano (o produto por 1.0 é exato); cada nível com o seu espaçamento.
TEST(Operador, EpsSoEmAe) {
    EXPECT_EQ(operador_constante(0.2, 0.25, 1.0).ae, 1.0 / (0.2 * 0.2));
    EXPECT_EQ(operador_constante(0.2, 0.25, 1.0).ae, 24.999999999999996);
    const operador_nivel o = operador_constante(0.5, 0.25, 0.01);
    EXPECT_EQ(o.ae, 0.01 * 4.0);
    EXPECT_EQ(o.an, 16.0);
    EXPECT_EQ(o.ap, (16.0 + 0.04) * 2.0);
    metodo_solver m;
    m.eps = 0.1;
    estado_execucao e = montado(3, 3, 5, m);
    for (int k = 1; k <= 3; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        EXPECT_EQ(e.ae, 0.1 * (1.0 / (e.dx * e.dx))) << k;
        EXPECT_EQ(e.an, 1.0 / (e.dy * e.dy)) << k;
        EXPECT_EQ(nivel_corrente(e).forma, forma_operador::cinco_constante);
    }
    EXPECT_TRUE(e.kappa.empty());
    EXPECT_TRUE(e.pesos.empty());
}

// Os campos célula por célula: o salto nas células de centro em (1/4, 3/4)^2 (9 x 9 pontos: as 4 x 4 do meio; 17 x 9:
// 8 x 4), o xadrez M x M com o bloco da origem 1, M camadas de baixo para cima, o aleatório em [1/C, C] e o mesmo para
// a mesma semente. Um centro na divisa (12 células, M = 8: 12*... ) vai para o bloco de cima.
TEST(Operador, CamposDoCoeficiente) {
    estado_execucao e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::salto, 5.0));
    const std::vector<std::string> meio = {"........", "........", "..CCCC..", "..CCCC..",
                                           "..CCCC..", "..CCCC..", "........", "........"};
    EXPECT_EQ(desenho(e, 5.0), meio);
    e = montado(4, 3, 2, com_coeficiente(tipo_coeficiente::salto, 5.0));
    EXPECT_EQ(desenho(e, 5.0), (std::vector<std::string>{"................", "................",
                                                         "....CCCCCCCC....", "....CCCCCCCC....",
                                                         "....CCCCCCCC....", "....CCCCCCCC....",
                                                         "................", "................"}));
    // 10 células: centros 0,05 .. 0,95; dentro de (1/4, 3/4) as de centro 0,35 .. 0,65 (a 0,25 não existe)
    e = montado(1, 11, 11, com_coeficiente(tipo_coeficiente::salto, 5.0));
    EXPECT_EQ(desenho(e, 5.0)[3], "...CCCC...");
    EXPECT_EQ(desenho(e, 5.0)[2], "..........");
    e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::xadrez, 5.0, 2));
    EXPECT_EQ(desenho(e, 5.0), (std::vector<std::string>{"CCCC....", "CCCC....", "CCCC....", "CCCC....",
                                                         "....CCCC", "....CCCC", "....CCCC", "....CCCC"}));
    e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::xadrez, 5.0, 8));
    EXPECT_EQ(desenho(e, 5.0)[7], ".C.C.C.C");
    EXPECT_EQ(desenho(e, 5.0)[6], "C.C.C.C.");
    e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::camadas, 5.0, 4));
    EXPECT_EQ(desenho(e, 5.0), (std::vector<std::string>{"CCCCCCCC", "CCCCCCCC", "........", "........",
                                                         "CCCCCCCC", "CCCCCCCC", "........", "........"}));
    // 3 camadas em 8 linhas de células: divisas em 8/3 e 16/3, as linhas J = 1..8 nas camadas 0,0,0,1,1,2,2,2
    e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::camadas, 5.0, 3));
    EXPECT_EQ(desenho(e, 5.0), (std::vector<std::string>{"........", "........", "........", "CCCCCCCC",
                                                         "CCCCCCCC", "........", "........", "........"}));
    e = montado(3, 5, 5, com_coeficiente(tipo_coeficiente::aleatorio, 100.0, 1, 42));
    double menor = 1e300, maior = 0.0;
    std::uint64_t s = 42;
    for (std::size_t c = 1; c < e.kappa.size(); ++c) {
        EXPECT_EQ(e.kappa[c], std::exp(proximo_aleatorio(s) * std::log(100.0))) << c;
        menor = std::min(menor, e.kappa[c]);
        maior = std::max(maior, e.kappa[c]);
    }
    EXPECT_GE(menor, 0.01);
    EXPECT_LE(maior, 100.0);
    EXPECT_LT(menor, 0.05);
    EXPECT_GT(maior, 20.0);
}

// A média nas células de baixo: cada célula grossa, as quatro finas em ((SW + SE) + (NW + NE)) * 0.25.
TEST(Operador, MediaNasCelulasGrossas) {
    std::vector<double> fino(4 * 2 + 1);
    for (std::size_t c = 1; c < fino.size(); ++c) fino[c] = std::pow(10.0, static_cast<double>(c));
    const std::vector<double> g = media_nas_celulas(fino.data(), 5, 3);
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[1], ((1e1 + 1e2) + (1e5 + 1e6)) * 0.25);
    EXPECT_EQ(g[2], ((1e3 + 1e4) + (1e7 + 1e8)) * 0.25);
    // montado: o nível de baixo do salto 8 x 8 tem o salto nas 2 x 2 células do meio, sem mistura
    const estado_execucao e = montado(4, 2, 2, com_coeficiente(tipo_coeficiente::salto, 5.0));
    const std::vector<double> k3 = media_nas_celulas(e.kappa.data(), 9, 9);
    EXPECT_EQ(k3, (std::vector<double>{0, 1, 1, 1, 1, 1, 5, 5, 1, 1, 5, 5, 1, 1, 1, 1, 1}));
}

// Os coeficientes de aresta à mão num 5 x 4 (4 x 3 células de valores distintos): ax(P) é a média das células abaixo
// e acima da aresta de P-1 a P, ay(P) a das células à esquerda e à direita da aresta de P-nx a P, ap a soma dos
// quatro; o nível de baixo tem os seus com a média das células.
TEST(Operador, CoeficientesDeArestaAMao) {
    metodo_solver m = com_coeficiente(tipo_coeficiente::aleatorio, 1e4, 1, 3);
    m.eps = 0.5;
    estado_execucao e = montado(2, 3, 3, m); // níveis de 3 x 3 e 5 x 5 pontos
    selecionar_nivel(e, 2);
    coeficientes(e);
    const vista_nivel v = nivel_corrente(e);
    ASSERT_EQ(v.forma, forma_operador::cinco_variavel);
    const estencil_variavel c = estencil_de(v.pesos, 25);
    auto k = [&](int I, int J) { return e.kappa[static_cast<std::size_t>(I + (J - 1) * 4)]; };
    const double ae = 0.5 * (1.0 / (0.25 * 0.25)), an = 1.0 / (0.25 * 0.25);
    for (int j = 2; j <= 4; ++j)
        for (int i = 2; i <= 4; ++i) {
            const int P = i + (j - 1) * 5;
            SCOPED_TRACE("(" + std::to_string(i) + ", " + std::to_string(j) + ")");
            EXPECT_EQ(c.x[P], ae * ((k(i - 1, j - 1) + k(i - 1, j)) * 0.5));     // oeste
            EXPECT_EQ(c.x[P + 1], ae * ((k(i, j - 1) + k(i, j)) * 0.5));         // leste
            EXPECT_EQ(c.y[P], an * ((k(i - 1, j - 1) + k(i, j - 1)) * 0.5));     // sul
            EXPECT_EQ(c.y[P + 5], an * ((k(i - 1, j) + k(i, j)) * 0.5));         // norte
            EXPECT_EQ(c.p[P], (c.x[P] + c.x[P + 1]) + (c.y[P] + c.y[P + 5]));
        }
    // o nível 1 (3 x 3, uma incógnita) com as médias das quatro células de cada quadrante
    selecionar_nivel(e, 1);
    coeficientes(e);
    const estencil_variavel g = estencil_de(nivel_corrente(e).pesos, 9);
    const std::vector<double> k1 = media_nas_celulas(e.kappa.data(), 5, 5);
    EXPECT_EQ(g.x[5], (0.5 * 4.0) * ((k1[1] + k1[3]) * 0.5));
    EXPECT_EQ(g.y[8], 4.0 * ((k1[3] + k1[4]) * 0.5));
    // C = 1: kappa = 1 em toda célula, o operador constante (os mesmos bits do padrão)
    e = montado(2, 3, 3, com_coeficiente(tipo_coeficiente::xadrez, 1.0, 2));
    EXPECT_TRUE(e.kappa.empty());
    selecionar_nivel(e, 2);
    EXPECT_EQ(nivel_corrente(e).forma, forma_operador::cinco_constante);
}

// Com kappa = 1 cada núcleo variável dá o mesmo que o constante a menos do arredondamento (os vizinhos pesam um a um,
// e a diagonal é dividida, não multiplicada pelo inverso); com kappa = C constante, a solução não muda e o resíduo é C
// vezes o do laplaciano.
TEST(Operador, NucleosVariaveisComKappaUm) {
    for (const auto& [nx, ny, eps] : {std::tuple{9, 7, 1.0}, std::tuple{5, 12, 0.01}, std::tuple{12, 4, 30.0}}) {
        const std::vector<double> um(static_cast<std::size_t>((nx - 1) * (ny - 1)) + 1, 1.0);
        for (const componente_suavizador& s : suavizadores())
            for (const bool direito : {false, true}) {
                SCOPED_TRACE(std::string(s.nome) + " " + std::to_string(nx) + "x" + std::to_string(ny));
                nivel_de_kappa a(nx, ny, um, eps, 5), b(nx, ny, um, eps, 5);
                a.v.forma = forma_operador::cinco_constante;
                if (!direito) a.v.f = b.v.f = nullptr;
                std::vector<double> r1(4096), r2(4096);
                const meios_suavizacao m1{.omega = s.omega_padrao, .eq = nullptr, .rascunho = r1.data()};
                const meios_suavizacao m2{.omega = s.omega_padrao, .eq = nullptr, .rascunho = r2.data()};
                const double escala = norma_nivel(a.v); // o resíduo inicial: a escala dos termos da norma
                nucleo(s.tipo)(a.v, m1, 3);
                nucleo(s.tipo, forma_operador::cinco_variavel)(b.v, m2, 3);
                for (std::size_t p = 1; p < a.u.size(); ++p) ASSERT_NEAR(b.u[p], a.u[p], 1e-12 * (1.0 + std::fabs(a.u[p])));
                EXPECT_NEAR(norma_nivel(b.v), norma_nivel(a.v), 1e-12 * escala);
            }
        for (const componente_restricao& r : restricoes()) {
            nivel_de_kappa a(nx, ny, um, eps, 9), b(nx, ny, um, eps, 9);
            a.v.forma = forma_operador::cinco_constante;
            const int nxc = (nx + 1) / 2, nyc = (ny + 1) / 2;
            std::vector<double> ga(static_cast<std::size_t>(nxc * nyc) + 1), gb = ga, rasc(3 * (nx + 1));
            nucleo(r.tipo)(a.v, abaixo(ga.data(), nxc, nyc), rasc.data());
            nucleo(r.tipo, forma_operador::cinco_variavel)(b.v, abaixo(gb.data(), nxc, nyc), rasc.data());
            for (std::size_t p = 1; p < ga.size(); ++p) EXPECT_NEAR(gb[p], ga[p], 1e-10 * (1.0 + std::fabs(ga[p]))) << r.nome;
        }
    }
}

// Um núcleo variável que lesse a aresta errada: num campo em que cada célula tem outro valor, uma varredura line-x
// numa grade de uma linha deixa resíduo zero nela (a tridiagonal exata das suas arestas), e gs-lex variável é o
// ponto fixo da equação do ponto (o ponto atualizado satisfaz a sua equação com os vizinhos de então).
TEST(Operador, NucleosVariaveisResolvemAsSuasEquacoes) {
    std::mt19937_64 g(17);
    uniforme d(-4.0, 4.0);
    for (const auto& [nx, ny, linha] : {std::tuple{12, 3, true}, std::tuple{3, 11, false}}) {
        std::vector<double> kappa(static_cast<std::size_t>((nx - 1) * (ny - 1)) + 1);
        for (double& k : kappa) k = std::pow(10.0, d(g));
        nivel_de_kappa n(nx, ny, kappa, 0.3, 21);
        std::vector<double> r(4096);
        nucleo(linha ? tipo_suavizador::linha_x : tipo_suavizador::linha_y, forma_operador::cinco_variavel)(
            n.v, {.omega = 1.0, .eq = nullptr, .rascunho = r.data()}, 1);
        const double norma = norma_nivel(n.v);
        double escala = 0.0;
        for (double x : n.f) escala += std::fabs(x);
        EXPECT_LT(norma, 1e-12 * escala) << nx << "x" << ny;
    }
    std::vector<double> kappa(7 * 6 + 1);
    for (double& k : kappa) k = std::pow(10.0, d(g));
    nivel_de_kappa n(8, 7, kappa, 2.0, 23);
    const estencil_variavel c = estencil_de(n.v.pesos, 56);
    std::vector<double> antes = n.u;
    suavizar_gs_lex_variavel(n.v, {}, 1);
    // o último ponto (7, 6): vizinhos oeste e sul já novos, leste e norte de contorno
    const int P = 7 + 5 * 8;
    const double v = (((c.y[P] * n.u[P - 8] + c.y[P + 8] * n.u[P + 8]) + (c.x[P] * n.u[P - 1] + c.x[P + 1] * n.u[P + 1])) +
                      n.f[P]) / c.p[P];
    EXPECT_EQ(n.u[P], v);
    EXPECT_NE(n.u[P], antes[P]);
}

// A solução direta do nível 1 com o operador variável resolve as suas equações (a matriz segue simétrica e positiva
// definida), nas duas numerações.
TEST(Operador, SolucaoDiretaVariavel) {
    std::mt19937_64 g(31);
    uniforme d(-8.0, 8.0);
    for (const auto& [nx, ny] : {std::pair{9, 6}, std::pair{6, 9}, std::pair{7, 7}}) {
        std::vector<double> kappa(static_cast<std::size_t>((nx - 1) * (ny - 1)) + 1);
        for (double& k : kappa) k = std::pow(10.0, d(g));
        nivel_de_kappa n(nx, ny, kappa, 0.7, 41);
        fator_banda fb;
        fatorar_nivel_grosso(fb, n.v);
        resolver_nivel_grosso(fb, n.v);
        const estencil_variavel c = estencil_de(n.v.pesos, nx * ny);
        double escala = 0.0;
        for (int j = 2; j < ny; ++j)
            for (int i = 2; i < nx; ++i) escala = std::max(escala, c.p[i + (j - 1) * nx]);
        EXPECT_LT(norma_nivel(n.v), 1e-12 * escala * nx * ny) << nx << "x" << ny;
    }
}
