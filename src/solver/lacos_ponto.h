// Os laços simples dos suavizadores pontuais: Gauss-Seidel lexicográfico (SOR com omega != 1), simétrico,
// vermelho-preto e Jacobi, e as varreduras adjuntas da pós-suavização, com os operadores de cinco e de nove pontos;
// os núcleos de referência de que os rápidos (fast/) têm os bits.
//
// Valor de Gauss-Seidel no ponto P: v = (an*(S+N) + ae*(W+E) [+ f(P)]) * q, q = 1/ap, f onde há lado direito (a
// correção, ou T com termo fonte); com o operador variável v = ((ay(P)*S + ay(P+nx)*N) + (ax(P)*W + ax(P+1)*E)
// [+ f(P)]) / ap(P). Atualização: omega == 1: u(P) = v; senão u(P) = u(P) + omega*(v - u(P)). Forma do operador,
// lado direito e omega escolhem uma instância de cada laço antes de ele começar. No vermelho-preto um ponto de uma
// cor só lê pontos da outra, e no Jacobi só valores anteriores à varredura: cada ponto tem os mesmos operandos em
// qualquer divisão das linhas entre as threads, e o resultado não depende delas.
#pragma once

#include <algorithm>
#include <cstring>

#include "solver/residuos.h"
#include "solver/solver.h"

namespace lacos_ponto {

// pontos internos a partir dos quais gs-rb e jacobi dividem as linhas entre as threads
inline constexpr long MINIMO_THREADS = 1L << 16;

// O estêncil constante: os números do nível, q formado uma vez.
struct constante {
    double ae, an, q;
    explicit constante(const vista_nivel& v) : ae(v.ae), an(v.an), q(1.0 / v.ap) {}
    template <bool DIREITO>
    double valor(const double* a, const double* f, long P, long nx) const {
        double s = an * (a[P - nx] + a[P + nx]) + ae * (a[P - 1] + a[P + 1]);
        if constexpr (DIREITO) s = s + f[P];
        return s * q;
    }
};

// O estêncil variável: cada vizinho com o coeficiente da sua aresta, a soma dividida pela diagonal do ponto.
struct variavel {
    estencil_variavel c;
    explicit variavel(const vista_nivel& v) : c(estencil_de(v.pesos, static_cast<long>(v.nx) * v.ny)) {}
    template <bool DIREITO>
    double valor(const double* a, const double* f, long P, long nx) const {
        const double y = c.y[P] * a[P - nx] + c.y[P + nx] * a[P + nx];
        const double x = c.x[P] * a[P - 1] + c.x[P + 1] * a[P + 1];
        double s = y + x;
        if constexpr (DIREITO) s = s + f[P];
        return s / c.p[P];
    }
};

// O estêncil de nove pontos (doc/metodo.md, 12.2): y = c_s S + c_n N; x = c_w W + c_e E;
// d = (c_sw SW + c_se SE) + (c_nw NW + c_ne NE); v = (((y + x) + d) [+ f]) / ap. C lê o coeficiente g do ponto P.
template <class C>
struct nove {
    static constexpr bool nove_pontos = true;
    C c;
    explicit nove(const vista_nivel& v) : c(v) {}
    template <bool DIREITO>
    double valor(const double* a, const double* f, long P, long nx) const {
        const double y = c(P, 1) * a[P - nx] + c(P, 7) * a[P + nx];
        const double x = c(P, 3) * a[P - 1] + c(P, 5) * a[P + 1];
        const double d = (c(P, 0) * a[P - nx - 1] + c(P, 2) * a[P - nx + 1]) +
                         (c(P, 6) * a[P + nx - 1] + c(P, 8) * a[P + nx + 1]);
        double s = (y + x) + d;
        if constexpr (DIREITO) s = s + f[P];
        return s / c(P, centro9);
    }
};

using nove_constante = nove<coeficientes_nove_constantes>;
using nove_variavel = nove<coeficientes_nove_variaveis>;

template <class E>
constexpr bool de_nove_pontos() {
    if constexpr (requires { E::nove_pontos; }) return E::nove_pontos;
    else return false;
}

template <bool RELAXAR>
inline double atualizado(double u, double v, double omega) {
    if constexpr (RELAXAR) return u + omega * (v - u);
    else return v;
}

// Uma varredura lexicográfica, para frente (j e i crescentes) ou para trás.
template <class E, bool DIREITO, bool RELAXAR, bool FRENTE>
void lexicografica(const vista_nivel& v, double omega) {
    const long nx = v.nx;
    const int ny = v.ny;
    const E est(v);
    double* u = v.u;
    const double* f = v.f;
    for (int jj = 2; jj <= ny - 1; ++jj) {
        const int j = FRENTE ? jj : ny + 1 - jj;
        for (long ii = 2; ii <= nx - 1; ++ii) {
            const long i = FRENTE ? ii : nx + 1 - ii;
            const long P = i + (j - 1) * nx;
            u[P] = atualizado<RELAXAR>(u[P], est.template valor<DIREITO>(u, f, P, nx), omega);
        }
    }
}

template <class E, bool DIREITO, bool RELAXAR>
void gs_lex(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) lexicografica<E, DIREITO, RELAXAR, true>(v, m.omega);
}

template <class E, bool DIREITO, bool RELAXAR>
void gs_sym(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) {
        lexicografica<E, DIREITO, RELAXAR, true>(v, m.omega);
        lexicografica<E, DIREITO, RELAXAR, false>(v, m.omega);
    }
}

// faixa(j0, j1) sobre as linhas primeira..ultima, divididas em faixas contíguas entre as threads da equipe quando o
// nível é grande (o lambda leva um só ponteiro: std::function sem alocação).
template <class F>
void em_faixas(const meios_suavizacao& m, const vista_nivel& v, int primeira, int ultima, const F& faixa) {
    const int linhas = ultima - primeira + 1;
    const long pontos = static_cast<long>(v.nx - 2) * (v.ny - 2);
    const int n = m.eq != nullptr && pontos >= MINIMO_THREADS ? std::min(m.eq->tamanho(), linhas) : 1;
    if (n <= 1) {
        faixa(primeira, ultima);
        return;
    }
    struct divisao {
        const F* faixa;
        int primeira, linhas, n;
    } d{&faixa, primeira, linhas, n};
    m.eq->executar(n, [&d](int h) {
        const int j0 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * h / d.n);
        const int j1 = d.primeira + static_cast<int>(static_cast<long>(d.linhas) * (h + 1) / d.n) - 1;
        (*d.faixa)(j0, j1);
    });
}

// Os pontos de uma cor (i + j par: vermelhos; ímpar: pretos) das linhas j0..j1.
template <class E, bool DIREITO, bool RELAXAR>
void cor_rb(const vista_nivel& v, double omega, int paridade, int j0, int j1) {
    const long nx = v.nx;
    const E est(v);
    double* u = v.u;
    const double* f = v.f;
    for (int j = j0; j <= j1; ++j)
        for (long i = 2 + (j + paridade) % 2; i <= nx - 1; i += 2) {
            const long P = i + (j - 1) * nx;
            u[P] = atualizado<RELAXAR>(u[P], est.template valor<DIREITO>(u, f, P, nx), omega);
        }
}

// Com nove pontos um ponto lê os vizinhos diagonais, da sua cor: a ordem dentro da cor conta e vai numa thread só.
template <class E, bool DIREITO, bool RELAXAR>
void gs_rb(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2) return;
    for (int s = 0; s < varreduras; ++s)
        for (int paridade = 0; paridade <= 1; ++paridade) {
            if constexpr (de_nove_pontos<E>()) cor_rb<E, DIREITO, RELAXAR>(v, m.omega, paridade, 2, v.ny - 1);
            else
                em_faixas(m, v, 2, v.ny - 1,
                          [&](int j0, int j1) { cor_rb<E, DIREITO, RELAXAR>(v, m.omega, paridade, j0, j1); });
        }
}

// Jacobi: o nível copiado para o rascunho, depois cada ponto a partir da cópia.
template <class E, bool DIREITO, bool RELAXAR>
void jacobi(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2) return;
    const long nx = v.nx;
    const E est(v);
    const double omega = m.omega;
    double* u = v.u;
    const double* f = v.f;
    double* a = m.rascunho;
    for (int s = 0; s < varreduras; ++s) {
        em_faixas(m, v, 1, v.ny, [&](int j0, int j1) {
            std::memcpy(a + 1 + (j0 - 1) * nx, u + 1 + (j0 - 1) * nx, sizeof(double) * nx * (j1 - j0 + 1));
        });
        em_faixas(m, v, 2, v.ny - 1, [&](int j0, int j1) {
            for (int j = j0; j <= j1; ++j)
                for (long i = 2; i <= nx - 1; ++i) {
                    const long P = i + (j - 1) * nx;
                    u[P] = atualizado<RELAXAR>(a[P], est.template valor<DIREITO>(a, f, P, nx), omega);
                }
        });
    }
}

// A instância para o lado direito (correção, ou T com fonte) e o omega do nível, escolhida antes dos laços.
template <template <class, bool, bool> class L, class E>
void instancia(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    const bool relaxar = m.omega != 1.0;
    if (v.f != nullptr) (relaxar ? L<E, true, true>::rodar : L<E, true, false>::rodar)(v, m, varreduras);
    else (relaxar ? L<E, false, true>::rodar : L<E, false, false>::rodar)(v, m, varreduras);
}

template <class E, bool D, bool R>
struct laco_gs_lex {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) { gs_lex<E, D, R>(v, m, n); }
};
template <class E, bool D, bool R>
struct laco_gs_sym {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) { gs_sym<E, D, R>(v, m, n); }
};
template <class E, bool D, bool R>
struct laco_gs_rb {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) { gs_rb<E, D, R>(v, m, n); }
};
template <class E, bool D, bool R>
struct laco_jacobi {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) { jacobi<E, D, R>(v, m, n); }
};

// As varreduras adjuntas da pós-suavização (--post-order adjoint; doc/metodo.md, 4.7): gs-lex de trás para a frente
// (j e i decrescentes, o mesmo omega), gs-rb com as cores trocadas (pretos, depois vermelhos; com nove pontos cada cor
// também de trás para a frente).
template <class E, bool DIREITO, bool RELAXAR>
void gs_lex_para_tras(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) lexicografica<E, DIREITO, RELAXAR, false>(v, m.omega);
}

// Os pontos de uma cor de trás para a frente (j e i decrescentes): com nove pontos os de uma cor se acoplam pelas
// diagonais, e a adjunta da varredura de uma cor é a mesma cor na ordem inversa.
template <class E, bool DIREITO, bool RELAXAR>
void cor_rb_para_tras(const vista_nivel& v, double omega, int paridade) {
    const long nx = v.nx;
    const E est(v);
    double* u = v.u;
    const double* f = v.f;
    for (int j = v.ny - 1; j >= 2; --j) {
        const long primeiro = 2 + (j + paridade) % 2;
        if (primeiro > nx - 1) continue; // a linha não tem ponto interno desta cor (nx = 3)
        for (long i = primeiro + (nx - 1 - primeiro) / 2 * 2; i >= primeiro; i -= 2) {
            const long P = i + (j - 1) * nx;
            u[P] = atualizado<RELAXAR>(u[P], est.template valor<DIREITO>(u, f, P, nx), omega);
        }
    }
}

template <class E, bool DIREITO, bool RELAXAR>
void gs_rb_pretos_primeiro(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2) return;
    for (int s = 0; s < varreduras; ++s)
        for (int paridade = 1; paridade >= 0; --paridade) {
            if constexpr (de_nove_pontos<E>()) cor_rb_para_tras<E, DIREITO, RELAXAR>(v, m.omega, paridade);
            else
                em_faixas(m, v, 2, v.ny - 1,
                          [&](int j0, int j1) { cor_rb<E, DIREITO, RELAXAR>(v, m.omega, paridade, j0, j1); });
        }
}

template <class E, bool D, bool R>
struct laco_gs_lex_para_tras {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) { gs_lex_para_tras<E, D, R>(v, m, n); }
};
template <class E, bool D, bool R>
struct laco_gs_rb_pretos_primeiro {
    static void rodar(const vista_nivel& v, const meios_suavizacao& m, int n) {
        gs_rb_pretos_primeiro<E, D, R>(v, m, n);
    }
};

} // namespace lacos_ponto
