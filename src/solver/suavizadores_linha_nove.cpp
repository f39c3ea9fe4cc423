// Suavizadores por linhas com o operador de nove pontos (doc/metodo.md, 12.2): a parte tridiagonal da linha resolvida
// exatamente, os demais acoplamentos no lado direito. Os laços simples, ou, com os núcleos rápidos, os de fast/ com
// os mesmos bits (linhas_x_gerais.cpp, colunas_nove.cpp).
//
// Thomas não simétrico, b(n) x(n) - l(n) x(n-1) - r(n) x(n+1) = d(n):
//   w(1) = b(1);  g(1) = r(1)/w(1);  h(1) = d(1)/w(1)
//   n = 2..m:  w(n) = b(n) - l(n)*g(n-1);  g(n) = r(n)/w(n);  h(n) = (d(n) + l(n)*h(n-1))/w(n)
//   x(m) = h(m);  x(n) = h(n) + g(n)*x(n+1)
// line-x, linha j: b = ap, l = c_w, r = c_e; d = (c_s S + c_n N) + ((c_sw SW + c_se SE) + (c_nw NW + c_ne NE)) [+ f],
//   em n = 1 mais c_w W, em n = m mais c_e E.
// line-y, coluna i: b = ap, l = c_s, r = c_n; d = (c_w W + c_e E) + ((c_sw SW + c_nw NW) + (c_se SE + c_ne NE)) [+ f],
//   em n = 1 mais c_s S, em n = m mais c_n N.
#include "fast/passada.h"
#include "solver/recorrencias_linha.h"
#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

// A linha de m incógnitas com a n-ésima em u[P0 + (n-1)*passo]; diagonal g = centro9, inferior gl, superior gr.
template <class C>
void resolver_linha(const recorrencias& t, int m, const C& c, int gl, int gr, double* u, long P0, long passo) {
    auto P = [&](int n) { return P0 + (n - 1) * passo; };
    t.w[1] = c(P(1), centro9);
    t.g[1] = c(P(1), gr) / t.w[1];
    t.h[1] = t.d[1] / t.w[1];
    for (int n = 2; n <= m; ++n) {
        const double l = c(P(n), gl);
        t.w[n] = c(P(n), centro9) - l * t.g[n - 1];
        t.g[n] = c(P(n), gr) / t.w[n];
        t.h[n] = (t.d[n] + l * t.h[n - 1]) / t.w[n];
    }
    u[P(m)] = t.h[m];
    for (int n = m - 1; n >= 1; --n) u[P(n)] = t.h[n] + t.g[n] * u[P(n + 1)];
}

template <bool DIREITO, class C>
void linhas_x(const vista_nivel& v, const C& c, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.nx - 2;
    double* u = v.u;
    const double* f = v.f;
    for (int j = 2; j <= v.ny - 1; ++j) {
        const long P0 = 2 + (j - 1) * nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + n - 1;
            double d = (c(P, 1) * u[P - nx] + c(P, 7) * u[P + nx]) +
                       ((c(P, 0) * u[P - nx - 1] + c(P, 2) * u[P - nx + 1]) +
                        (c(P, 6) * u[P + nx - 1] + c(P, 8) * u[P + nx + 1]));
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + c(P0, 3) * u[P0 - 1];
        t.d[m] = t.d[m] + c(P0 + m - 1, 5) * u[P0 + m];
        resolver_linha(t, m, c, 3, 5, u, P0, 1);
    }
}

template <bool DIREITO, class C>
void linhas_y(const vista_nivel& v, const C& c, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.ny - 2;
    double* u = v.u;
    const double* f = v.f;
    for (long i = 2; i <= nx - 1; ++i) {
        const long P0 = i + nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + (n - 1) * nx;
            double d = (c(P, 3) * u[P - 1] + c(P, 5) * u[P + 1]) +
                       ((c(P, 0) * u[P - nx - 1] + c(P, 6) * u[P + nx - 1]) +
                        (c(P, 2) * u[P - nx + 1] + c(P, 8) * u[P + nx + 1]));
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + c(P0, 1) * u[P0 - nx];
        t.d[m] = t.d[m] + c(P0 + (m - 1) * nx, 7) * u[P0 + m * nx];
        resolver_linha(t, m, c, 1, 7, u, P0, nx);
    }
}

template <class C>
void varrer_x(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    if (m.rapidos && m.eq != nullptr) // os mesmos bits, varreduras juntas em frente de onda (fast/linhas_x_gerais.cpp)
        return varredura_linhas_x_nove(nivel_nove_de(v, m), varreduras, *m.eq);
    const C c(v);
    const recorrencias t = repartir(m.rascunho, v.nx - 2);
    const auto linhas = v.f != nullptr ? linhas_x<true, C> : linhas_x<false, C>;
    for (int s = 0; s < varreduras; ++s) linhas(v, c, t);
}

template <class C>
void varrer_y(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    if (m.rapidos && m.eq != nullptr) // os mesmos bits, a memória em ordem de linhas (fast/colunas_nove.cpp)
        return varredura_colunas_nove(nivel_nove_de(v, m), varreduras, *m.eq);
    const C c(v);
    const recorrencias t = repartir(m.rascunho, v.ny - 2);
    const auto linhas = v.f != nullptr ? linhas_y<true, C> : linhas_y<false, C>;
    for (int s = 0; s < varreduras; ++s) linhas(v, c, t);
}

bool por_ponto(const vista_nivel& v) { return v.forma == forma_operador::nove_variavel; }

} // namespace

void suavizar_linha_x_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (por_ponto(v)) varrer_x<coeficientes_nove_variaveis>(v, m, varreduras);
    else varrer_x<coeficientes_nove_constantes>(v, m, varreduras);
}

void suavizar_linha_y_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (por_ponto(v)) varrer_y<coeficientes_nove_variaveis>(v, m, varreduras);
    else varrer_y<coeficientes_nove_constantes>(v, m, varreduras);
}

void suavizar_linha_alt_nove(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) {
        suavizar_linha_x_nove(v, m, 1);
        suavizar_linha_y_nove(v, m, 1);
    }
}
