// Norma L1 dos resíduos do nível mais fino, somada em ordem de armazenamento (núcleo de referência), nas formas do
// operador (a de nove pontos só para testes e medidas: o mais fino tem sempre cinco) e com o termo fonte subtraído
// por último quando há um.
#include <cmath>

#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

template <bool DIREITO>
double norma_constante(const vista_nivel& v) {
    const long nx = v.nx;
    const double ae = v.ae, an = v.an, ap = v.ap;
    double s = 0.0;
    for (int j = 2; j <= v.ny - 1; ++j) {
        const double* l = v.u + (j - 1) * nx;
        const double* f = DIREITO ? v.f + (j - 1) * nx : nullptr;
        for (long i = 2; i <= nx - 1; ++i) {
            double a = (ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]);
            if constexpr (DIREITO) a = a - f[i];
            s = s + std::fabs(a);
        }
    }
    return s;
}

template <bool DIREITO>
double norma_variavel(const vista_nivel& v) {
    const long nx = v.nx;
    const estencil_variavel c = estencil_de(v.pesos, nx * v.ny);
    const double* u = v.u;
    double s = 0.0;
    for (int j = 2; j <= v.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long P = i + (j - 1) * nx;
            const double y = c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx];
            const double x = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
            double a = (c.p[P] * u[P] - y) - x;
            if constexpr (DIREITO) a = a - v.f[P];
            s = s + std::fabs(a);
        }
    return s;
}

// a = ((ap*u - y) - x) - d [- f], com y, x e d como no suavizador de nove pontos (doc/metodo.md, 12.2).
template <bool DIREITO, class C>
double norma_nove(const vista_nivel& v) {
    const long nx = v.nx;
    const C c(v);
    const double* u = v.u;
    double s = 0.0;
    for (int j = 2; j <= v.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long P = i + (j - 1) * nx;
            const double y = c(P, 1) * u[P - nx] + c(P, 7) * u[P + nx];
            const double x = c(P, 3) * u[P - 1] + c(P, 5) * u[P + 1];
            const double d = (c(P, 0) * u[P - nx - 1] + c(P, 2) * u[P - nx + 1]) +
                             (c(P, 6) * u[P + nx - 1] + c(P, 8) * u[P + nx + 1]);
            double a = ((c(P, centro9) * u[P] - y) - x) - d;
            if constexpr (DIREITO) a = a - v.f[P];
            s = s + std::fabs(a);
        }
    return s;
}

} // namespace

double norma_nivel(const vista_nivel& v) {
    const bool direito = v.f != nullptr;
    switch (v.forma) {
    case forma_operador::cinco_variavel: return direito ? norma_variavel<true>(v) : norma_variavel<false>(v);
    case forma_operador::nove_constante:
        return direito ? norma_nove<true, coeficientes_nove_constantes>(v)
                       : norma_nove<false, coeficientes_nove_constantes>(v);
    case forma_operador::nove_variavel:
        return direito ? norma_nove<true, coeficientes_nove_variaveis>(v)
                       : norma_nove<false, coeficientes_nove_variaveis>(v);
    case forma_operador::cinco_constante: break;
    }
    return direito ? norma_constante<true>(v) : norma_constante<false>(v);
}

normas_iteracao normas_do_residuo(const estado_execucao& e) {
    const int k = e.nm;
    vista_nivel v;
    if (static_cast<std::size_t>(k) < e.operadores.size()) {
        v = vista_do_operador(e, k);
    } else { // estado feito à mão: o laplaciano
        const operador_nivel o =
            operador_constante(1.0 / static_cast<double>(e.nxg[k] - 1), 1.0 / static_cast<double>(e.nyg[k] - 1), 1.0);
        v.nx = e.nxg[k];
        v.ny = e.nyg[k];
        v.ae = o.ae;
        v.an = o.an;
        v.ap = o.ap;
    }
    const double* u = e.T.data();
    const double* f = e.fonte.empty() ? nullptr : e.fonte.data();
    const long nx = v.nx;
    const estencil_variavel c =
        v.forma == forma_operador::cinco_variavel ? estencil_de(v.pesos, nx * v.ny) : estencil_variavel{};
    double s2 = 0.0, m = 0.0;
    for (int j = 2; j <= v.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long P = i + (j - 1) * nx;
            double a = 0.0;
            if (c.p) {
                const double y = c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx];
                const double x = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
                a = (c.p[P] * u[P] - y) - x;
            } else {
                a = (v.ap * u[P] - v.an * (u[P - nx] + u[P + nx])) - v.ae * (u[P - 1] + u[P + 1]);
            }
            if (f) a = a - f[P];
            s2 = s2 + a * a;
            if (!(std::fabs(a) <= m)) m = std::fabs(a); // um NaN fica
        }
    normas_iteracao n;
    n.l2 = std::sqrt(s2);
    n.maximo = m;
    return n;
}

// Soma de |r| sobre o interior do nível mais fino; o resultado fica em rnorm.
void norma_l1(estado_execucao& e) { e.rnorm = norma_nivel(nivel_corrente(e)); }
