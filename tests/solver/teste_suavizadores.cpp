// Suavizadores pontuais e por linhas: casos pequenos conferidos à mão, contornos intocados e os mesmos bits dos
// núcleos de referência.
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "auxiliar.h"
#include "solver/solver.h"

namespace {

// Nível único nx x ny, problema linear, interior nulo, nível corrente preparado.
estado_execucao estado_de_grade(int nx, int ny, int problema = 1, int nitm = 1) {
    estado_execucao e = estado_de(entrada(1, nx, ny, "0.0", 5, nitm, problema));
    criar_campo(e, e.nxyg[1]);
    selecionar_nivel(e, 1);
    preparar_campo_inicial(e, efetivo(e));
    return e;
}

// Grade ao acaso de nx x ny (contornos incluídos) e um lado direito ao acaso, para vistas de correção.
struct grade_livre {
    std::vector<double> u, f;
    vista_nivel vista(bool com_direito, int nx, int ny) { return vista_de(u, com_direito ? &f : nullptr, nx, ny); }
};

grade_livre ao_acaso(int nx, int ny, unsigned semente) {
    std::mt19937_64 g(semente);
    uniforme d(-1.0, 1.0);
    grade_livre r{std::vector<double>(nx * ny + 1), std::vector<double>(nx * ny + 1)};
    for (int p = 1; p <= nx * ny; ++p) {
        r.u[p] = d(g);
        r.f[p] = 100.0 * d(g);
    }
    return r;
}

using suavizador_nomeado = std::pair<const char*, suavizador>;
const suavizador_nomeado todos[] = {{"gs-lex", suavizar_gs_lex},   {"gs-rb", suavizar_gs_rb},
                                    {"jacobi", suavizar_jacobi},   {"gs-sym", suavizar_gs_sym},
                                    {"line-x", suavizar_linha_x},  {"line-y", suavizar_linha_y},
                                    {"line-alt", suavizar_linha_alt}};

} // namespace

// 4 x 3, linear (ae = 9, an = 4, ap = 26), interior nulo: uma varredura de cada um, com os valores à mão.
TEST(Suavizadores, QuatroPorTresAMao) {
    const double q = 1.0 / 26.0, t1 = 1.0 / 3.0, t2 = 2.0 / 3.0;
    const double v22 = (4.0 * (0.0 + t1) + 9.0 * (0.0 + 0.0)) * q; // só valores velhos
    const double v32 = (4.0 * (0.0 + t2) + 9.0 * (0.0 + 0.5)) * q;
    const double gs32 = (4.0 * (0.0 + t2) + 9.0 * (v22 + 0.5)) * q; // oeste já novo
    const double sym22 = (4.0 * (0.0 + t1) + 9.0 * (0.0 + gs32)) * q; // volta: leste já novo
    const double sor22 = 0.0 + 1.5 * (v22 - 0.0);
    const double sor32 = 0.0 + 1.5 * ((4.0 * (0.0 + t2) + 9.0 * (sor22 + 0.5)) * q - 0.0);
    struct caso {
        suavizador s;
        double omega, t22, t32, perto22, perto32;
    };
    for (const caso& c : {caso{suavizar_gs_lex, 1.0, v22, gs32, 0.0512820512821, 0.293392504931},
                          caso{suavizar_gs_sym, 1.0, sym22, gs32, 0.152840995297, 0.293392504931},
                          caso{suavizar_jacobi, 1.0, v22, v32, 0.0512820512821, 0.275641025641},
                          caso{suavizar_jacobi, 0.8, 0.0 + 0.8 * (v22 - 0.0), 0.0 + 0.8 * (v32 - 0.0),
                               0.0410256410256, 0.220512820513},
                          caso{suavizar_gs_lex, 1.5, sor22, sor32, 0.0769230769231, 0.453402366864},
                          caso{suavizar_gs_rb, 1.0, v22, gs32, 0.0512820512821, 0.293392504931}}) {
        estado_execucao e = estado_de_grade(4, 3);
        std::vector<double> rascunho(e.T.size());
        const std::vector<double> antes = copia_de(e.T);
        c.s(nivel_corrente(e), {c.omega, nullptr, rascunho.data()}, 1);
        SCOPED_TRACE("omega " + std::to_string(c.omega));
        EXPECT_TRUE(bits_iguais(e.T[6], c.t22)) << e.T[6] << " contra " << c.t22;
        EXPECT_TRUE(bits_iguais(e.T[7], c.t32)) << e.T[7] << " contra " << c.t32;
        EXPECT_NEAR(e.T[6], c.perto22, 1e-12);
        EXPECT_NEAR(e.T[7], c.perto32, 1e-12);
        for (int p : {1, 2, 3, 4, 5, 8, 9, 10, 11, 12}) EXPECT_TRUE(bits_iguais(e.T[p], antes[p]));
    }
}

// 5 x 4 com valores ao acaso: vermelhos (i + j par) só com vizinhos velhos, depois pretos com vizinhos novos.
TEST(Suavizadores, VermelhoPretoCincoPorQuatro) {
    grade_livre g = ao_acaso(5, 4, 3);
    const std::vector<double> u0 = g.u;
    const vista_nivel v = g.vista(true, 5, 4);
    const double q = 1.0 / v.ap;
    std::vector<double> esperado = u0;
    auto valor = [&](const std::vector<double>& a, int P) {
        return (v.an * (a[P - 5] + a[P + 5]) + v.ae * (a[P - 1] + a[P + 1]) + g.f[P]) * q;
    };
    for (int paridade : {0, 1}) {
        const std::vector<double> a = esperado; // na mesma cor ninguém lê ninguém
        for (int j = 2; j <= 3; ++j)
            for (int i = 2; i <= 4; ++i)
                if ((i + j) % 2 == paridade) esperado[i + (j - 1) * 5] = valor(a, i + (j - 1) * 5);
    }
    suavizar_gs_rb(v, {}, 1);
    for (int p = 1; p <= 20; ++p) EXPECT_TRUE(bits_iguais(g.u[p], esperado[p])) << "P = " << p;
}

// gs-lex com omega 1 é o gauss_seidel e o suavizar_correcao de referência, bit a bit.
TEST(Suavizadores, GsLexIgualAosNucleosDeReferencia) {
    estado_execucao e = estado_de_grade(11, 8, 2, 3);
    std::mt19937_64 r(5);
    for (int p = 1; p <= 88; ++p) e.T[p] += uniforme(-1, 1)(r);
    estado_execucao ref = e;
    suavizar_gs_lex(nivel_corrente(e), {}, 3);
    gauss_seidel(ref);
    EXPECT_EQ(std::memcmp(e.T.data(), ref.T.data(), e.T.size() * sizeof(double)), 0);

    estado_execucao m = estado_de(entrada(2, 6, 5, "0", 1, 2, 2));
    criar_niveis_grossos(m, m.nxyg[1]);
    for (std::size_t p = 1; p < m.cor.size(); ++p) m.cor[p] = uniforme(-1, 1)(r);
    for (std::size_t p = 1; p < m.res.size(); ++p) m.res[p] = uniforme(-9, 9)(r);
    selecionar_nivel(m, 1); // abaixo do mais fino: a vista é a correção
    coeficientes(m);
    estado_execucao mref = m;
    suavizar_gs_lex(nivel_corrente(m), {}, 2);
    suavizar_correcao(mref);
    EXPECT_EQ(std::memcmp(m.cor.data(), mref.cor.data(), m.cor.size() * sizeof(double)), 0);
}

// Nenhum suavizador toca o contorno; sem interior (nx ou ny = 2) ou sem varreduras nada muda.
TEST(Suavizadores, ContornoIntocadoENivelSemInterior) {
    for (const auto& [nome, s] : todos) {
        SCOPED_TRACE(nome);
        for (auto [nx, ny] : {std::pair{9, 6}, std::pair{2, 7}, std::pair{7, 2}, std::pair{3, 3}}) {
            grade_livre g = ao_acaso(nx, ny, 11);
            const std::vector<double> antes = g.u;
            std::vector<double> rascunho(std::max<long>(nx * ny + 1, rascunho_linhas(nx, ny)));
            const meios_suavizacao m{0.9, nullptr, rascunho.data()};
            s(g.vista(true, nx, ny), m, 0);
            EXPECT_EQ(g.u, antes);
            s(g.vista(true, nx, ny), m, 2);
            for (int j = 1; j <= ny; ++j)
                for (int i = 1; i <= nx; ++i) {
                    const int P = i + (j - 1) * nx;
                    const bool contorno = i == 1 || j == 1 || i == nx || j == ny;
                    if (contorno) EXPECT_TRUE(bits_iguais(g.u[P], antes[P])) << nx << "x" << ny << " P = " << P;
                    else EXPECT_FALSE(bits_iguais(g.u[P], antes[P])) << nx << "x" << ny << " P = " << P;
                }
        }
    }
}

// Uma só linha de incógnitas (ny = 3) é resolvida exatamente por uma varredura line-x; idem uma coluna por line-y.
TEST(Linhas, UmaLinhaResolvidaExatamente) {
    struct caso {
        suavizador s;
        int nx, ny;
    };
    for (auto [s, nx, ny] : {caso{suavizar_linha_x, 12, 3}, caso{suavizar_linha_y, 3, 12},
                             caso{suavizar_linha_alt, 12, 3}, caso{suavizar_linha_alt, 3, 12}}) {
        estado_execucao e = estado_de_grade(nx, ny, 2);
        ASSERT_GT(e.hist[0], 1.0);
        std::vector<double> rascunho(rascunho_linhas(nx, ny));
        s(nivel_corrente(e), {1.0, nullptr, rascunho.data()}, 1);
        norma_l1(e);
        EXPECT_LT(e.rnorm, 1e-13 * e.hist[0]) << nx << "x" << ny;
    }
}

// Três incógnitas (nx = 5): a recorrência de Thomas na ordem escrita (divisões, não recíprocos), bit a bit, em
// 40 linhas ao acaso; o lado direito depois do par de vizinhos, o oeste antes do leste.
TEST(Linhas, ThomasDeTresIncognitasAMao) {
    for (unsigned semente = 1; semente <= 40; ++semente) {
        grade_livre g = ao_acaso(5, 3, semente);
        const vista_nivel v = g.vista(true, 5, 3);
        const std::vector<double> u = g.u;
        const double e = v.ae, ap = v.ap;
        const double d1 = (v.an * (u[2] + u[12]) + g.f[7]) + e * u[6];
        const double d2 = v.an * (u[3] + u[13]) + g.f[8];
        const double d3 = (v.an * (u[4] + u[14]) + g.f[9]) + e * u[10];
        const double w1 = ap, g1 = e / w1, h1 = d1 / w1;
        const double w2 = ap - e * g1, g2 = e / w2, h2 = (d2 + e * h1) / w2;
        const double w3 = ap - e * g2, h3 = (d3 + e * h2) / w3;
        const double x3 = h3, x2 = h2 + g2 * x3, x1 = h1 + g1 * x2;
        std::vector<double> rascunho(rascunho_linhas(5, 3));
        suavizar_linha_x(v, {1.0, nullptr, rascunho.data()}, 1);
        EXPECT_TRUE(bits_iguais(g.u[7], x1)) << "semente " << semente;
        EXPECT_TRUE(bits_iguais(g.u[8], x2)) << "semente " << semente;
        EXPECT_TRUE(bits_iguais(g.u[9], x3)) << "semente " << semente;
        // uma incógnita (3 x 3): oeste e leste no mesmo d, oeste primeiro
        grade_livre h = ao_acaso(3, 3, semente);
        const vista_nivel w = h.vista(true, 3, 3);
        const double d = ((w.an * (h.u[2] + h.u[8]) + h.f[5]) + w.ae * h.u[4]) + w.ae * h.u[6];
        const double x = d / w.ap;
        suavizar_linha_x(w, {1.0, nullptr, rascunho.data()}, 1);
        EXPECT_TRUE(bits_iguais(h.u[5], x)) << "semente " << semente;
    }
}

// line-y é line-x da grade transposta (ae e an trocam de papel): mesmos bits, em grades não quadradas.
TEST(Linhas, ColunasSaoLinhasDaTransposta) {
    const int nx = 7, ny = 5;
    grade_livre g = ao_acaso(nx, ny, 8);
    grade_livre t{std::vector<double>(nx * ny + 1), std::vector<double>(nx * ny + 1)};
    auto transpor = [&](const std::vector<double>& a, std::vector<double>& b) {
        for (int j = 1; j <= ny; ++j)
            for (int i = 1; i <= nx; ++i) b[j + (i - 1) * ny] = a[i + (j - 1) * nx];
    };
    transpor(g.u, t.u);
    transpor(g.f, t.f);
    std::vector<double> rascunho(rascunho_linhas(nx, ny));
    suavizar_linha_y(g.vista(true, nx, ny), {1.0, nullptr, rascunho.data()}, 2);
    suavizar_linha_x(t.vista(true, ny, nx), {1.0, nullptr, rascunho.data()}, 2);
    std::vector<double> volta(nx * ny + 1);
    for (int j = 1; j <= ny; ++j)
        for (int i = 1; i <= nx; ++i) volta[i + (j - 1) * nx] = t.u[j + (i - 1) * ny];
    for (int p = 1; p <= nx * ny; ++p) EXPECT_TRUE(bits_iguais(g.u[p], volta[p])) << "P = " << p;
}
