// Suavizadores por linhas: cada linha (line-x) ou coluna (line-y) do nível resolvida exatamente por Thomas.
//
// Thomas para ap*x(n) - e*x(n-1) - e*x(n+1) = d(n), n = 1..m:
//   w(1) = ap;  g(1) = e / w(1);  h(1) = d(1) / w(1)
//   n = 2..m:   w(n) = ap - e*g(n-1);  g(n) = e / w(n);  h(n) = (d(n) + e*h(n-1)) / w(n)
//   x(m) = h(m);  n = m-1 .. 1:  x(n) = h(n) + g(n)*x(n+1)
// w e g só dependem de ap, e e n: são calculados uma vez por chamada e valem para todas as linhas (mesmos bits).
// line-x: linhas j = 2..ny-1 de sul a norte, com a linha sul já nova e a norte ainda velha; e = ae e
//   d(i) = an*(S + N) [+ res(P)], e em i = 2 mais ae*W, em i = nx-1 mais ae*E (oeste primeiro).
// line-y: colunas i = 2..nx-1 de oeste a leste; e = an e d(j) = ae*(W + E) [+ res(P)], em j = 2 mais an*S,
//   em j = ny-1 mais an*N (sul primeiro).
#include <algorithm>

#include "solver/recorrencias_linha.h"
#include "solver/solver.h"

namespace {

// w e g de Thomas para m incógnitas.
void eliminar_coeficientes(const recorrencias& t, int m, double e, double ap) {
    t.w[1] = ap;
    t.g[1] = e / t.w[1];
    for (int n = 2; n <= m; ++n) {
        t.w[n] = ap - e * t.g[n - 1];
        t.g[n] = e / t.w[n];
    }
}

// h e a substituição de volta; x(n) em u[P0 + (n-1)*passo].
void substituir(const recorrencias& t, int m, double e, double* u, long P0, long passo) {
    t.h[1] = t.d[1] / t.w[1];
    for (int n = 2; n <= m; ++n) t.h[n] = (t.d[n] + e * t.h[n - 1]) / t.w[n];
    u[P0 + (m - 1) * passo] = t.h[m];
    for (int n = m - 1; n >= 1; --n) u[P0 + (n - 1) * passo] = t.h[n] + t.g[n] * u[P0 + n * passo];
}

template <bool DIREITO>
void linhas_x(const vista_nivel& v, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.nx - 2;
    const double ae = v.ae, an = v.an;
    double* u = v.u;
    const double* f = v.f;
    for (int j = 2; j <= v.ny - 1; ++j) {
        const long P0 = 2 + (j - 1) * nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + n - 1;
            double d = an * (u[P - nx] + u[P + nx]);
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + ae * u[P0 - 1];
        t.d[m] = t.d[m] + ae * u[P0 + m];
        substituir(t, m, ae, u, P0, 1);
    }
}

template <bool DIREITO>
void linhas_y(const vista_nivel& v, const recorrencias& t) {
    const long nx = v.nx;
    const int m = v.ny - 2;
    const double ae = v.ae, an = v.an;
    double* u = v.u;
    const double* f = v.f;
    for (long i = 2; i <= nx - 1; ++i) {
        const long P0 = i + nx;
        for (int n = 1; n <= m; ++n) {
            const long P = P0 + (n - 1) * nx;
            double d = ae * (u[P - 1] + u[P + 1]);
            if constexpr (DIREITO) d = d + f[P];
            t.d[n] = d;
        }
        t.d[1] = t.d[1] + an * u[P0 - nx];
        t.d[m] = t.d[m] + an * u[P0 + m * nx];
        substituir(t, m, an, u, P0, nx);
    }
}

void varrer_x(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const recorrencias t = repartir(m.rascunho, v.nx - 2);
    eliminar_coeficientes(t, v.nx - 2, v.ae, v.ap);
    const auto linhas = v.f != nullptr ? linhas_x<true> : linhas_x<false>;
    for (int s = 0; s < varreduras; ++s) linhas(v, t);
}

void varrer_y(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (v.nx <= 2 || v.ny <= 2 || varreduras <= 0) return;
    const recorrencias t = repartir(m.rascunho, v.ny - 2);
    eliminar_coeficientes(t, v.ny - 2, v.an, v.ap);
    const auto linhas = v.f != nullptr ? linhas_y<true> : linhas_y<false>;
    for (int s = 0; s < varreduras; ++s) linhas(v, t);
}

// Com os núcleos rápidos, várias varreduras de uma vez (fast/linhas_x.cpp), com os mesmos bits.
void varrer_x_do_plano(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (m.rapidos && m.eq != nullptr)
        varredura_linhas_x({.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap},
                           varreduras, *m.eq);
    else varrer_x(v, m, varreduras);
}

// Com os núcleos rápidos, as colunas em blocos lidos em ordem de linhas (fast/colunas.cpp), com os mesmos bits.
void varrer_y_do_plano(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    if (m.rapidos && m.eq != nullptr)
        varredura_colunas({.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap},
                          varreduras, *m.eq);
    else varrer_y(v, m, varreduras);
}

} // namespace

long rascunho_linhas(int nx, int ny) { return 4L * (std::max(nx, ny) + 1); }

void suavizar_linha_x(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    varrer_x_do_plano(v, m, varreduras);
}

void suavizar_linha_y(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    varrer_y_do_plano(v, m, varreduras);
}

void suavizar_linha_alt(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    for (int s = 0; s < varreduras; ++s) {
        varrer_x_do_plano(v, m, 1);
        varrer_y_do_plano(v, m, 1);
    }
}
