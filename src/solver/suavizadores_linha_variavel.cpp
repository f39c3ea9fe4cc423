// Suavizadores por linhas com o operador variável: cada linha (line-x) ou coluna (line-y) resolvida exatamente por
// Thomas com os coeficientes dela (doc/metodo.md, 4.6).
//
// Para b(n) x(n) - c(n-1) x(n-1) - c(n) x(n+1) = d(n), n = 1..m:
//   w(1) = b(1);  g(1) = c(1) / w(1);  h(1) = d(1) / w(1)
//   n = 2..m:  w(n) = b(n) - c(n-1)*g(n-1);  g(n) = c(n) / w(n);  h(n) = (d(n) + c(n-1)*h(n-1)) / w(n)
//   x(m) = h(m);  n = m-1 .. 1:  x(n) = h(n) + g(n)*x(n+1)
// line-x, linha j, P o ponto da incógnita n: b(n) = ap(P), c(n) = ax(P+1) (em n = m a aresta do contorno leste: g(m)
//   sai e não é usado); d(n) = (ay(P)*S + ay(P+nx)*N) [+ f(P)], em n = 1 mais ax(P)*W, em n = m mais ax(P+1)*E.
// line-y, coluna i: b(n) = ap(P), c(n) = ay(P+nx); d(n) = (ax(P)*W + ax(P+1)*E) [+ f(P)], em n = 1 mais ay(P)*S, em
//   n = m mais ay(P+nx)*N.
// Os coeficientes mudam de linha a linha: w e g são refeitos em cada uma.
#include "fast/passada.h"
#include "solver/recorrencias_linha.h"
#include "solver/solver.h"

namespace {

// Thomas sobre a linha de m incógnitas com a n-ésima em u[P0 + (n-1)*passo]; b(n) = ap, c(n) = acoplamento[P + passo].
void resolver_linha(const recorrencias& t, int m, const double* ap, const double* acoplamento, double* u, long P0,
                    long passo) {
    auto b = [&](int n) { return ap[P0 + (n - 1) * passo]; };
    auto c = [&](int n) { return acoplamento[P0 + n * passo]; };
    t.w[1] = b(1);
    t.g[1] = c(1) / t.w[1];
    t.h[1] = t.d[1] / t.w[1];
    for (int n = 2; n <= m; ++n) {
        t.w[n] = b(n) - c(n - 1) * t.g[n - 1];
        t.g[n] = c(n) / t.w[n];
        t.h[n] = (t.d[n] + c(n - 1) * t.h[n - 1]) / t.w[n];
    }
    u[P0 + (m - 1) * passo] = t.h[m];
    for (int n = m - 1; n >= 1; --n) u[P0 + (n - 1) * passo] = t.h[n] + t.g[n] * u[P0 + n * passo];
}

template <bool DIREITO>
void linhas_x_variavel(const vista_nivel& v, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.nx - 2;
    const estencil_variavel c = estencil_de(v.pesos, nx * v.ny);
    double* u = v.u;
    const double* f = v.f;
    for (int j = 2; j <= v.ny - 1; ++j) {
        const long P0 = 2 + (j - 1) * nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + n - 1;
            double d = c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx];
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + c.x[P0] * u[P0 - 1];
        t.d[m] = t.d[m] + c.x[P0 + m] * u[P0 + m];
        resolver_linha(t, m, c.p, c.x, u, P0, 1);
    }
}

template <bool DIREITO>
void linhas_y_variavel(const vista_nivel& v, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.ny - 2;
    const estencil_variavel c = estencil_de(v.pesos, nx * v.ny);
    double* u = v.u;
    const double* f = v.f;
    for (long i = 2; i <= nx - 1; ++i) {
        const long P0 = i + nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + (n - 1) * nx;
            double d = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + c.y[P0] * u[P0 - nx];
        t.d[m] = t.d[m] + c.y[P0 + m * nx] * u[P0 + m * nx];
        resolver_linha(t, m, c.p, c.y, u, P0, nx);
    }
}

void varrer_x_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    if (m.rapidos && m.eq != nullptr) { // os mesmos bits, varreduras juntas em frente de onda (fast/linhas_x_gerais.cpp)
        const estencil_variavel c = estencil_de(v.pesos, static_cast<long>(v.nx) * v.ny);
        varredura_linhas_x_variavel({.u = v.u, .f = v.f, .ax = c.x, .ay = c.y, .ap = c.p, .nx = v.nx, .ny = v.ny},
                                    varreduras, *m.eq);
        return;
    }
    const recorrencias t = repartir(m.rascunho, v.nx - 2);
    const auto linhas = v.f != nullptr ? linhas_x_variavel<true> : linhas_x_variavel<false>;
    for (int s = 0; s < varreduras; ++s) linhas(v, t);
}

void varrer_y_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    if (m.rapidos && m.eq != nullptr) { // os mesmos bits, a memória em ordem de linhas (fast/colunas_variaveis.cpp)
        const estencil_variavel c = estencil_de(v.pesos, static_cast<long>(v.nx) * v.ny);
        varredura_colunas_variavel({.u = v.u, .f = v.f, .ax = c.x, .ay = c.y, .ap = c.p, .nx = v.nx, .ny = v.ny},
                                   varreduras, *m.eq);
        return;
    }
    const recorrencias t = repartir(m.rascunho, v.ny - 2);
    const auto linhas = v.f != nullptr ? linhas_y_variavel<true> : linhas_y_variavel<false>;
    for (int s = 0; s < varreduras; ++s) linhas(v, t);
}

} // namespace

void suavizar_linha_x_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    varrer_x_variavel(v, m, varreduras);
}

void suavizar_linha_y_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    varrer_y_variavel(v, m, varreduras);
}

void suavizar_linha_alt_variavel(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) {
        varrer_x_variavel(v, m, 1);
        varrer_y_variavel(v, m, 1);
    }
}
