// Símbolos da LFA contra o que as varreduras e transferências, escritas aqui da descrição do método,
// fazem com um modo de Fourier numa grade.
#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analise.h"

namespace {

using std::numbers::pi;

// Grade (n+1) x (n+1) de valores complexos, pontos (i, j) com i, j = 0..n (i = índice do programa - 1), o
// contorno fixo. Começa com o modo phi(theta)(i, j) = exp(I (t1 i + t2 j)); o contorno nunca muda, de modo
// que o efeito dele só chega ao centro atenuado por ~ 2^-(n/2).
struct grade {
    int n;
    double ae, an, ap;
    std::vector<complexo> u;
    grade(int n_, double ae_, double an_, double t1, double t2)
        : n(n_), ae(ae_), an(an_), ap(2.0 * (ae_ + an_)), u(static_cast<std::size_t>((n_ + 1) * (n_ + 1))) {
        for (int j = 0; j <= n; ++j)
            for (int i = 0; i <= n; ++i) at(i, j) = std::polar(1.0, t1 * i + t2 * j);
    }
    complexo& at(int i, int j) { return u[static_cast<std::size_t>(i + j * (n + 1))]; }
    complexo vizinhos(int i, int j) { return an * (at(i, j - 1) + at(i, j + 1)) + ae * (at(i - 1, j) + at(i + 1, j)); }
    void ponto(int i, int j, double w) { at(i, j) += w * (vizinhos(i, j) / ap - at(i, j)); }
    void gs(double w, bool para_tras) {
        for (int jj = 1; jj < n; ++jj)
            for (int ii = 1; ii < n; ++ii) ponto(para_tras ? n - ii : ii, para_tras ? n - jj : jj, w);
    }
    void jacobi(double w) {
        std::vector<complexo> novo = u;
        for (int j = 1; j < n; ++j)
            for (int i = 1; i < n; ++i) novo[i + j * (n + 1)] = at(i, j) + w * (vizinhos(i, j) / ap - at(i, j));
        u = novo;
    }
    void rb(double w) {
        for (int cor = 0; cor < 2; ++cor)
            for (int j = 1; j < n; ++j)
                for (int i = 1; i < n; ++i)
                    if ((i + j) % 2 == cor) ponto(i, j, w);
    }
    // Linhas: cada fila (em x) ou coluna (em y) resolvida exatamente, eliminação de Gauss tridiagonal.
    void linhas(bool em_x) {
        const double e = em_x ? ae : an, f = em_x ? an : ae;
        std::vector<complexo> w(n), d(n), x(n + 1);
        for (int l = 1; l < n; ++l) {
            auto val = [&](int k, int desl) -> complexo& { return em_x ? at(k, l + desl) : at(l + desl, k); };
            for (int k = 1; k < n; ++k) d[k] = f * (val(k, -1) + val(k, 1));
            d[1] += e * val(0, 0);
            d[n - 1] += e * val(n, 0);
            w[1] = ap;
            for (int k = 2; k < n; ++k) {
                const complexo g = e / w[k - 1];
                w[k] = ap - e * g;
                d[k] += g * d[k - 1];
            }
            x[n - 1] = d[n - 1] / w[n - 1];
            for (int k = n - 2; k >= 1; --k) x[k] = (d[k] + e * x[k + 1]) / w[k];
            for (int k = 1; k < n; ++k) val(k, 0) = x[k];
        }
    }
};

struct caso_suavizador {
    tipo_suavizador s;
    double omega;
};

void varrer(grade& g, const caso_suavizador& c) {
    switch (c.s) {
    case tipo_suavizador::gs_lex: g.gs(c.omega, false); break;
    case tipo_suavizador::gs_sym: g.gs(c.omega, false); g.gs(c.omega, true); break;
    case tipo_suavizador::jacobi: g.jacobi(c.omega); break;
    case tipo_suavizador::gs_rb: g.rb(c.omega); break;
    case tipo_suavizador::linha_x: g.linhas(true); break;
    case tipo_suavizador::linha_y: g.linhas(false); break;
    case tipo_suavizador::linha_alt: g.linhas(true); g.linhas(false); break;
    }
}

const double frequencias[][2] = {{0.3, -1.1}, {1.2, 0.4}, {-0.7, 2.5}, {2.9, 3.0}};

} // namespace

// Suavizadores que mantêm cada modo: novo/velho no centro = símbolo (entrada (0,0), harmônico theta).
TEST(AnaliseSimbolos, SuavizadoresContraModoNaGrade) {
    const caso_suavizador casos[] = {{tipo_suavizador::gs_lex, 1.0}, {tipo_suavizador::gs_lex, 1.3},
                                     {tipo_suavizador::gs_sym, 1.2}, {tipo_suavizador::jacobi, 0.8},
                                     {tipo_suavizador::linha_x, 0.0}, {tipo_suavizador::linha_y, 0.0},
                                     {tipo_suavizador::linha_alt, 0.0}};
    for (const caso_suavizador& c : casos)
        for (double razao : {1.0, 2.0, 0.5})
            for (const auto& t : frequencias) {
                const int n = 64, m = n / 2;
                grade g(n, razao, 1.0, t[0], t[1]);
                const complexo antes = g.at(m, m);
                varrer(g, c);
                pedido_lfa p;
                p.ae = razao;
                p.suavizador = c.s;
                p.omega = c.omega;
                const complexo s = simbolo_suavizador(p, t[0], t[1])[0];
                EXPECT_NEAR(std::abs(g.at(m, m) / antes - s), 0.0, 1e-8)
                    << static_cast<int>(c.s) << " razão " << razao << " theta " << t[0] << "," << t[1];
                for (int b = 1; b < 4; ++b) EXPECT_EQ(simbolo_suavizador(p, t[0], t[1])[b * 4], complexo(0.0));
            }
}

// Vermelho-preto mistura theta e theta + (pi,pi): novo = A phi(theta) + B phi(theta + (pi,pi)), com
// A + B nos vermelhos (i + j par) e A - B nos pretos; A = S(0,0), B = S(3,0).
TEST(AnaliseSimbolos, VermelhoPretoMisturaDoisHarmonicos) {
    for (double w : {1.0, 1.15})
        for (double razao : {1.0, 3.0})
            for (const auto& t : frequencias) {
                grade g(12, razao, 1.0, t[0], t[1]);
                const complexo v0 = g.at(6, 6), p0 = g.at(6, 5);
                g.rb(w);
                const complexo mais = g.at(6, 6) / v0, menos = g.at(6, 5) / p0;
                pedido_lfa p;
                p.ae = razao;
                p.suavizador = tipo_suavizador::gs_rb;
                p.omega = w;
                const matriz4 s = simbolo_suavizador(p, t[0], t[1]);
                EXPECT_NEAR(std::abs(0.5 * (mais + menos) - s[0]), 0.0, 1e-13);
                EXPECT_NEAR(std::abs(0.5 * (mais - menos) - s[12]), 0.0, 1e-13);
                EXPECT_EQ(s[4], complexo(0.0));
                EXPECT_EQ(s[8], complexo(0.0));
            }
}

// K(b, a) = delta - p(b) r(a) L(a) / L_H, com r, p, L e L_H tirados aqui dos estênceis aplicados a modos.
TEST(AnaliseSimbolos, CorrecaoGrossaDosEstenceis) {
    const double ae = 2.5, an = 1.0;
    // pesos das restrições em (di, dj) = -1..1
    const double inj[3][3] = {{0, 0, 0}, {0, 1, 0}, {0, 0, 0}};
    const double meia[3][3] = {{0, 0.125, 0}, {0.125, 0.5, 0.125}, {0, 0.125, 0}};
    const double comp[3][3] = {{0.0625, 0.125, 0.0625}, {0.125, 0.25, 0.125}, {0.0625, 0.125, 0.0625}};
    const struct {
        tipo_restricao r;
        const double (*w)[3];
    } restricoes[] = {{tipo_restricao::injecao, inj}, {tipo_restricao::meia, meia}, {tipo_restricao::completa, comp}};
    for (const auto& rr : restricoes)
        for (const auto& t : frequencias) {
            const double t1 = t[0] * 0.5, t2 = t[1] * 0.5; // frequências baixas
            complexo r[4], l[4], pb[4];
            for (int a = 0; a < 4; ++a) {
                const double f1 = t1 + ((a & 1) ? pi : 0.0), f2 = t2 + ((a & 2) ? pi : 0.0);
                for (int dj = -1; dj <= 1; ++dj)
                    for (int di = -1; di <= 1; ++di) r[a] += rr.w[dj + 1][di + 1] * std::polar(1.0, f1 * di + f2 * dj);
                l[a] = 2.0 * (ae + an) - ae * 2.0 * std::cos(f1) - an * 2.0 * std::cos(f2);
            }
            // interpolação bilinear do modo grosso phi_H(2 theta) nos 4 tipos de ponto fino (d1, d2) em {0,1}^2;
            // phi(theta^b)(d) = phi(theta)(d) (-1)^(b.d), logo p(b) = (1/4) sum_d v(d)/phi(theta)(d) (-1)^(b.d)
            for (int d2 = 0; d2 <= 1; ++d2)
                for (int d1 = 0; d1 <= 1; ++d1) {
                    complexo v = 0.0;
                    for (int c2 = 0; c2 <= d2; ++c2)
                        for (int c1 = 0; c1 <= d1; ++c1) v += std::polar(1.0, 2 * t1 * c1 + 2 * t2 * c2);
                    v /= static_cast<double>((d1 + 1) * (d2 + 1));
                    const complexo razao = v / std::polar(1.0, t1 * d1 + t2 * d2);
                    for (int b = 0; b < 4; ++b) pb[b] += 0.25 * razao * (((b & 1) * d1 + (b >> 1) * d2) % 2 ? -1.0 : 1.0);
                }
            const double lh = 2.0 * (ae + an) / 4.0 - (ae / 4.0) * 2.0 * std::cos(2 * t1) - (an / 4.0) * 2.0 * std::cos(2 * t2);
            pedido_lfa p;
            p.ae = ae;
            p.an = an;
            p.restricao = rr.r;
            const matriz4 k = simbolo_correcao_grossa(p, t1, t2);
            for (int b = 0; b < 4; ++b)
                for (int a = 0; a < 4; ++a) {
                    const complexo esperado = (a == b ? 1.0 : 0.0) - pb[b] * r[a] * l[a] / lh;
                    EXPECT_NEAR(std::abs(k[b * 4 + a] - esperado), 0.0, 1e-12) << b << "," << a;
                }
        }
}

TEST(AnaliseSimbolos, DoisNiveisEProduto) {
    pedido_lfa p;
    p.suavizador = tipo_suavizador::gs_rb;
    p.nu1 = 2;
    p.nu2 = 1;
    const matriz4 s = simbolo_suavizador(p, 0.4, -0.9), k = simbolo_correcao_grossa(p, 0.4, -0.9);
    const matriz4 esperado = produto(s, produto(k, produto(s, s)));
    const matriz4 m = simbolo_dois_niveis(p, 0.4, -0.9);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(std::abs(m[i] - esperado[i]), 0.0, 1e-15) << i;
    // produto na ordem certa: (a b) aplicado a e_0 = a (b e_0)
    matriz4 a{}, b{};
    a[1] = 1.0; // a e_1 = e_0
    b[4] = 1.0; // b e_0 = e_1
    EXPECT_EQ(produto(a, b)[0], complexo(1.0));
    EXPECT_EQ(produto(b, a)[0], complexo(0.0));
}

// Potências por quadrados sucessivos: as mesmas de produtos repetidos (a 1e-12), e escaladas, sem estourar nem sumir,
// para nu = 10^6 varreduras (o custo cresce com log nu).
TEST(AnaliseSimbolos, PotenciasPorQuadrados) {
    pedido_lfa p;
    p.suavizador = tipo_suavizador::gs_rb;
    const matriz4 s = simbolo_suavizador(p, 0.7, -0.3);
    matriz4 repetido{};
    for (int i = 0; i < 4; ++i) repetido[i * 4 + i] = 1.0;
    for (long long n = 0; n <= 13; ++n) {
        const potencia4 q = potencia(s, n);
        EXPECT_EQ(q.expoente, 0) << n;
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(std::abs(q.m[i] - repetido[i]), 0.0, 1e-12 * (1.0 + std::abs(repetido[i]))) << n << " " << i;
        repetido = produto(repetido, s);
    }
    // 0.25^(10^6) não cabe num double: a potência fica escalada
    const potencia4 grande = potencia(s, 1000000);
    EXPECT_LT(grande.expoente, -1000);
    double maior = 0.0;
    for (const complexo& x : grande.m) maior = std::max(maior, std::abs(x));
    EXPECT_GT(maior, 0x1p-401);
    EXPECT_LT(maior, 0x1p401);
    // mu_nu de um suavizador pontual é mu para todo nu; o do vermelho-preto cresce para 1
    p.nu1 = 500000;
    p.nu2 = 500000;
    p.suavizador = tipo_suavizador::gs_lex;
    p.pontos = 16;
    const resultado_lfa lex = analisar_lfa(p);
    EXPECT_NEAR(lex.mu_nu, lex.mu, 1e-9);
    EXPECT_EQ(lex.rho, 0.0); // rho^(10^6) abaixo do menor double
    p.suavizador = tipo_suavizador::gs_rb;
    const resultado_lfa rb = analisar_lfa(p);
    EXPECT_GT(rb.mu_nu, 0.3958);
    EXPECT_LE(rb.mu_nu, 1.0);
}
