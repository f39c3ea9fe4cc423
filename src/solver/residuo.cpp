// Norma L1 dos resíduos do nível mais fino, somada em ordem de armazenamento (núcleo de referência), nas formas do
// operador e com o termo fonte subtraído por último quando há um.
#include <cmath>

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

} // namespace

double norma_nivel(const vista_nivel& v) {
    const bool direito = v.f != nullptr;
    if (v.forma == forma_operador::cinco_variavel) return direito ? norma_variavel<true>(v) : norma_variavel<false>(v);
    return direito ? norma_constante<true>(v) : norma_constante<false>(v);
}

// Soma de |r| sobre o interior do nível mais fino; o resultado fica em rnorm.
void norma_l1(estado_execucao& e) { e.rnorm = norma_nivel(nivel_corrente(e)); }
