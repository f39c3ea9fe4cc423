// A LFA de k níveis do ciclo: k = 2 é a de dois níveis; o símbolo de três níveis contra o ciclo montado à mão numa
// grade periódica 16 x 16 (matrizes explícitas, sem símbolos); a tabela da rodada e o que não se aplica.
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/analise.h"
#include "auxiliar.h"

namespace {

using std::numbers::pi;
using cx = std::complex<double>;

pedido_lfa_k pedido(tipo_suavizador s, tipo_restricao r, tipo_ciclo c, int k, int nu1, int nu2) {
    pedido_lfa_k p;
    p.base.suavizador = s;
    p.base.restricao = r;
    p.base.nu1 = nu1;
    p.base.nu2 = nu2;
    p.ciclo = c;
    p.niveis = k;
    return p;
}

// ---- O ciclo de três níveis numa grade periódica n x n, montado ponto a ponto (independente dos símbolos).
// Estêncil ap u - ae (W + E) - an (S + N) com ae = an = a (a = 1 no fino, 1/4 e 1/16 nos grossos: rediscretizado).
struct grade_periodica {
    int n;
    std::vector<cx> v;
    explicit grade_periodica(int lado) : n(lado), v(static_cast<std::size_t>(lado) * lado) {}
    cx& at(int i, int j) { return v[static_cast<std::size_t>(((j % n + n) % n) * n + (i % n + n) % n)]; }
};

cx vizinhos(grade_periodica& u, int i, int j) { return u.at(i - 1, j) + u.at(i + 1, j) + u.at(i, j - 1) + u.at(i, j + 1); }

// Uma varredura para L u = f: vermelho-preto (a cor `primeira` primeiro, omega 1: 0 = i + j par, a ordem de sempre;
// 1 = a adjunta, pretos e depois vermelhos) ou Jacobi amortecido (omega 4/5).
void suavizar(tipo_suavizador s, grade_periodica& u, grade_periodica& f, double a, int primeira = 0) {
    const int n = u.n;
    if (s == tipo_suavizador::jacobi) {
        grade_periodica velho = u;
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                u.at(i, j) = velho.at(i, j) + 0.8 * ((f.at(i, j) + a * vizinhos(velho, i, j)) / (4.0 * a) - velho.at(i, j));
        return;
    }
    for (int c = 0; c < 2; ++c)
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i)
                if ((i + j) % 2 == (c + primeira) % 2) u.at(i, j) = (f.at(i, j) + a * vizinhos(u, i, j)) / (4.0 * a);
}

grade_periodica residuo(grade_periodica& u, grade_periodica& f, double a) {
    grade_periodica r(u.n);
    for (int j = 0; j < u.n; ++j)
        for (int i = 0; i < u.n; ++i) r.at(i, j) = f.at(i, j) - (4.0 * a * u.at(i, j) - a * vizinhos(u, i, j));
    return r;
}

grade_periodica restringir(tipo_restricao tr, grade_periodica& r) {
    grade_periodica c(r.n / 2);
    for (int j = 0; j < c.n; ++j)
        for (int i = 0; i < c.n; ++i) {
            const int x = 2 * i, y = 2 * j;
            if (tr == tipo_restricao::injecao) {
                c.at(i, j) = r.at(x, y);
                continue;
            }
            cx s = 4.0 * r.at(x, y) + 2.0 * (r.at(x - 1, y) + r.at(x + 1, y) + r.at(x, y - 1) + r.at(x, y + 1));
            s += r.at(x - 1, y - 1) + r.at(x + 1, y - 1) + r.at(x - 1, y + 1) + r.at(x + 1, y + 1);
            c.at(i, j) = s / 16.0;
        }
    return c;
}

void prolongar_e_somar(grade_periodica& u, grade_periodica& c) {
    for (int j = 0; j < c.n; ++j)
        for (int i = 0; i < c.n; ++i) {
            const int x = 2 * i, y = 2 * j;
            u.at(x, y) += c.at(i, j);
            u.at(x + 1, y) += 0.5 * (c.at(i, j) + c.at(i + 1, j));
            u.at(x, y + 1) += 0.5 * (c.at(i, j) + c.at(i, j + 1));
            u.at(x + 1, y + 1) += 0.25 * (c.at(i, j) + c.at(i + 1, j) + c.at(i, j + 1) + c.at(i + 1, j + 1));
        }
}

// Solução de L u = f na grade periódica por eliminação de Gauss de (L + 1 1^T / m), que coincide com L nas grades de
// média nula (f, aqui, não tem componente constante).
grade_periodica resolver(grade_periodica& f, double a) {
    const int n = f.n, m = n * n;
    std::vector<cx> A(static_cast<std::size_t>(m) * m, 0.0), b(f.v);
    auto el = [&](int r, int c) -> cx& { return A[static_cast<std::size_t>(r) * m + c]; };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            const int r = j * n + i;
            for (int c = 0; c < m; ++c) el(r, c) += 1.0 / m;
            el(r, r) += 4.0 * a;
            el(r, j * n + (i + 1) % n) -= a;
            el(r, j * n + (i + n - 1) % n) -= a;
            el(r, ((j + 1) % n) * n + i) -= a;
            el(r, ((j + n - 1) % n) * n + i) -= a;
        }
    for (int c = 0; c < m; ++c)
        for (int r = c + 1; r < m; ++r) {
            const cx q = el(r, c) / el(c, c);
            for (int k = c; k < m; ++k) el(r, k) -= q * el(c, k);
            b[static_cast<std::size_t>(r)] -= q * b[static_cast<std::size_t>(c)];
        }
    grade_periodica u(n);
    for (int r = m; r-- > 0;) {
        cx s = b[static_cast<std::size_t>(r)];
        for (int k = r + 1; k < m; ++k) s -= el(r, k) * u.v[static_cast<std::size_t>(k)];
        u.v[static_cast<std::size_t>(r)] = s / el(r, r);
    }
    return u;
}

// ciclo(nivel) para L u = f, u dado; nivel 1 resolvido; V: um ciclo abaixo, W: dois.
void ciclo(const pedido_lfa_k& p, int nivel, grade_periodica& u, grade_periodica& f, double a) {
    if (nivel == 1) {
        u = resolver(f, a);
        return;
    }
    for (int s = 0; s < p.base.nu1; ++s) suavizar(p.base.suavizador, u, f, a);
    grade_periodica r = residuo(u, f, a);
    grade_periodica fc = restringir(p.base.restricao, r);
    grade_periodica c(u.n / 2);
    for (int v = 0; v < (p.ciclo == tipo_ciclo::W ? 2 : 1); ++v) ciclo(p, nivel - 1, c, fc, 0.25 * a);
    prolongar_e_somar(u, c);
    for (int s = 0; s < p.base.nu2; ++s)
        suavizar(p.base.suavizador, u, f, a, p.base.ordem == ordem_pos::adjunta ? 1 : 0);
}

// O modo de Fourier exp(I (f1 i + f2 j)) da grade_periodica n x n.
grade_periodica modo(int n, double f1, double f2) {
    grade_periodica g(n);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) g.at(i, j) = std::polar(1.0, f1 * i + f2 * j);
    return g;
}

// O símbolo de três níveis medido: o ciclo aplicado ao erro de cada harmônico (f = 0), projetado nos harmônicos.
std::vector<cx> simbolo_a_mao(const pedido_lfa_k& p, int n, const std::vector<std::array<double, 2>>& f) {
    const int h = static_cast<int>(f.size());
    std::vector<cx> m(static_cast<std::size_t>(h) * h);
    for (int c = 0; c < h; ++c) {
        grade_periodica u = modo(n, f[c][0], f[c][1]), zero(n);
        ciclo(p, 3, u, zero, 1.0);
        for (int l = 0; l < h; ++l) {
            grade_periodica phi = modo(n, f[l][0], f[l][1]);
            cx s = 0.0;
            for (std::size_t q = 0; q < u.v.size(); ++q) s += std::conj(phi.v[q]) * u.v[q];
            m[static_cast<std::size_t>(l) * h + c] = s / static_cast<double>(n * n);
        }
    }
    return m;
}

} // namespace

// k = 2 com o nível grosso resolvido é o fator de dois níveis de sempre, o mesmo número; e o símbolo recursivo de
// dois níveis (transferências pelas funções gerais) é o de simbolo_dois_niveis a menos de arredondamento.
TEST(LfaKNiveis, DoisNiveisEOFatorDeSempre) {
    for (tipo_suavizador s : {tipo_suavizador::gs_lex, tipo_suavizador::gs_rb, tipo_suavizador::jacobi})
        for (tipo_restricao r : {tipo_restricao::injecao, tipo_restricao::meia, tipo_restricao::completa}) {
            const pedido_lfa_k p = pedido(s, r, tipo_ciclo::V, 2, 2, 1);
            EXPECT_EQ(analisar_lfa_k(p).rho, analisar_lfa(p.base).rho);
            for (const auto& [t1, t2] : {std::array<double, 2>{0.3, -1.1}, {1.2, 0.05}, {-0.7, 0.7}}) {
                const std::vector<complexo> k = simbolo_k_niveis(p, t1, t2);
                const matriz4 d = simbolo_dois_niveis(p.base, t1, t2);
                ASSERT_EQ(k.size(), 16u);
                for (std::size_t i = 0; i < 16; ++i) EXPECT_NEAR(std::abs(k[i] - d[i]), 0.0, 1e-13) << i;
            }
        }
}

// O símbolo 16 x 16 de três níveis numa frequência contra o ciclo de três níveis montado à mão na grade periódica
// 16 x 16 (8 x 8, 4 x 4 resolvida): os harmônicos de theta = (pi/8, -pi/8) são modos dela, e o vermelho-preto e o
// Jacobi agem nela exatamente como na grade_periodica infinita.
TEST(LfaKNiveis, TresNiveisContraOCicloMontadoAMao) {
    const double t1 = pi / 8, t2 = -pi / 8;
    const std::vector<std::array<double, 2>> f = frequencias_k_niveis(3, t1, t2);
    ASSERT_EQ(f.size(), 16u);
    for (tipo_suavizador s : {tipo_suavizador::gs_rb, tipo_suavizador::jacobi})
        for (tipo_restricao r : {tipo_restricao::completa, tipo_restricao::injecao})
            for (tipo_ciclo c : {tipo_ciclo::V, tipo_ciclo::W})
                for (ordem_pos o : {ordem_pos::mesma, ordem_pos::adjunta}) {
                    pedido_lfa_k p = pedido(s, r, c, 3, 1, 1);
                    p.base.ordem = o; // gs-rb: a pós-suavização pretos-vermelhos; jacobi é adjunto de si mesmo
                    const std::vector<complexo> k = simbolo_k_niveis(p, t1, t2);
                    const std::vector<cx> m = simbolo_a_mao(p, 16, f);
                    double maior = 0.0, dif = 0.0;
                    for (std::size_t i = 0; i < m.size(); ++i) {
                        maior = std::max(maior, std::abs(m[i]));
                        dif = std::max(dif, std::abs(k[i] - m[i]));
                    }
                    EXPECT_GT(maior, 0.01);
                    EXPECT_LT(dif, 1e-12) << componente(s).nome << " " << componente(r).nome << " "
                                          << componente(c).nome << " " << static_cast<int>(o);
                }
}

// Com a pós-suavização adjunta (gs-lex para trás, gs-rb pretos-vermelhos), nu1 = nu2 e a restrição completa, o
// ciclo é autoadjunto no produto de energia: os símbolos de dois e de três níveis têm autovalores reais. Com a
// ordem de sempre, em geral não (autovalores complexos).
TEST(LfaKNiveis, PosSuavizacaoAdjuntaDaAutovaloresReais) {
    for (tipo_suavizador s : {tipo_suavizador::gs_lex, tipo_suavizador::gs_rb})
        for (int niveis : {2, 3}) {
            double imaginaria[2] = {0.0, 0.0};
            for (ordem_pos o : {ordem_pos::mesma, ordem_pos::adjunta}) {
                pedido_lfa_k p = pedido(s, tipo_restricao::completa, tipo_ciclo::V, niveis, 2, 2);
                p.base.ordem = o;
                p.base.an = 0.3; // anisotrópico: nada de simetrias que escondam a ordem
                for (const auto& [t1, t2] : {std::array<double, 2>{0.3, -1.1}, {1.2, 0.05}, {-0.7, 0.4}}) {
                    const std::vector<complexo> m = simbolo_k_niveis(p, t1, t2);
                    const int n = niveis == 2 ? 4 : 16;
                    double maior = 0.0;
                    for (const complexo& x : m) maior = std::max(maior, std::abs(x));
                    for (const complexo& l : autovalores(m, n))
                        imaginaria[static_cast<int>(o)] = std::max(imaginaria[static_cast<int>(o)],
                                                                   std::abs(l.imag()) / maior);
                }
            }
            // (o vermelho-preto de dois níveis tem autovalores reais também na ordem de sempre: ali só o de três
            // níveis, e o ciclo montado à mão acima, separam as duas ordens)
            if (s == tipo_suavizador::gs_lex || niveis == 3) {
                EXPECT_GT(imaginaria[0], 1e-3) << componente(s).nome << " " << niveis;
            }
            EXPECT_LT(imaginaria[1], 1e-10) << componente(s).nome << " " << niveis;
        }
}

// Com o nível mais grosso resolvido, mais níveis não melhoram o fator; W fica perto do de dois níveis, V acima dele.
TEST(LfaKNiveis, MaisNiveisNaoMelhoram) {
    for (tipo_suavizador s : {tipo_suavizador::gs_lex, tipo_suavizador::gs_rb, tipo_suavizador::jacobi}) {
        const double dois = analisar_lfa_k(pedido(s, tipo_restricao::completa, tipo_ciclo::V, 2, 1, 1)).rho;
        const double v3 = analisar_lfa_k(pedido(s, tipo_restricao::completa, tipo_ciclo::V, 3, 1, 1)).rho;
        const double v4 = analisar_lfa_k(pedido(s, tipo_restricao::completa, tipo_ciclo::V, 4, 1, 1)).rho;
        const double w4 = analisar_lfa_k(pedido(s, tipo_restricao::completa, tipo_ciclo::W, 4, 1, 1)).rho;
        EXPECT_GE(v3, dois * (1 - 1e-6)) << componente(s).nome;
        EXPECT_GE(v4, v3 * (1 - 1e-3)) << componente(s).nome;
        EXPECT_LE(w4, v4 * (1 + 1e-6)) << componente(s).nome;
        EXPECT_NEAR(w4 / dois, 1.0, 0.15) << componente(s).nome;
    }
}

// O QR perdia o autovalor dominante deste símbolo de três níveis (posto baixo, muitos autovalores nulos) e dava ~1e-18;
// o raio conferido na transposta é o de numpy.linalg.eigvals sobre a mesma matriz, 0.10577149709136845.
TEST(LfaKNiveis, RaioQueOQrPerdia) {
    const pedido_lfa_k p = pedido(tipo_suavizador::gs_rb, tipo_restricao::completa, tipo_ciclo::V, 3, 1, 1);
    const double passo = 1.0 / 48;
    EXPECT_NEAR(raio_k_niveis(p, pi * (-0.5 + 29.5 * passo), pi * (-0.5 + 18.5 * passo)), 0.10577149709136845, 1e-12);
}

// Os mapas de --lfa --plot vêm dos mesmos símbolos: o maior |S| das frequências altas é mu para um suavizador que
// mantém cada modo, e os mapas de dois e de três níveis chegam perto do sup sem passar dele.
TEST(LfaKNiveis, MapasDosMesmosSimbolos) {
    metodo_solver s;
    s.suavizador = tipo_suavizador::jacobi;
    s.restricao = tipo_restricao::completa;
    const metodo_efetivo m(s, 1, 6, 2);
    const mapas_lfa mapas = calcular_mapas_lfa(m, 1, 6, 65, 65, 3, 3);
    ASSERT_EQ(mapas.suavizacao.n, 128);
    EXPECT_NEAR(mapas.suavizacao.maior, mapas.suavizacao.fator, 2e-3);
    EXPECT_TRUE(std::fabs(mapas.suavizacao.onde[0]) >= 0.5 || std::fabs(mapas.suavizacao.onde[1]) >= 0.5);
    for (const mapa_fourier* r : {&mapas.dois_niveis, &mapas.tres_niveis}) {
        ASSERT_GT(r->n, 0);
        EXPECT_LE(r->maior, r->fator * (1 + 1e-6));
        EXPECT_GE(r->maior, r->fator * 0.97);
    }
    EXPECT_EQ(mapas.dois_niveis.fator, analisar_lfa(pedido_da_rodada(m, 1, 6, 65, 65)).rho);
}

// A tabela de k níveis só vale para o ciclo sozinho: com o coeficiente variável ou com --krylov ela diz por quê e
// não dá número; sem nenhum dos dois, o mesmo método dá os três fatores.
TEST(LfaKNiveis, DizOndeNaoSeAplica) {
    metodo_solver s;
    s.suavizador = tipo_suavizador::jacobi;
    s.restricao = tipo_restricao::completa;
    const auto tabela = [](const metodo_solver& pedido) {
        return tabela_lfa_k(metodo_efetivo(pedido, 1, 4, 2), 1, 4, 33, 33, 3, 3);
    };
    for (const linha_lfa_k& l : tabela(s)) EXPECT_TRUE(l.porque.empty() && std::isfinite(l.rho)) << l.niveis;
    metodo_solver krylov = s;
    krylov.krylov.tipo = tipo_krylov::cg;
    metodo_solver variavel = s;
    variavel.coeficiente.tipo = tipo_coeficiente::salto;
    variavel.coeficiente.c = 100.0;
    for (const metodo_solver& pedido : {krylov, variavel})
        for (const linha_lfa_k& l : tabela(pedido)) {
            EXPECT_FALSE(std::isfinite(l.rho)) << l.niveis;
            EXPECT_FALSE(l.porque.empty()) << l.niveis;
        }
}
