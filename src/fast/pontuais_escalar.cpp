// Núcleos de linha escalares dos suavizadores pontuais na passada rápida: uma cor de uma linha (vermelho-preto) e
// os valores novos de uma linha de Jacobi, com as contas dos laços de referência (solver/suavizadores_ponto.cpp):
// v = (an*(S+N) + ae*(W+E) [+ f(P)]) * q; com omega != 1, u + omega*(v - u), u o valor antigo do ponto.
#include "fast/rapido.h"

namespace {

template <bool DIREITO, bool RELAXAR>
void cor_de(const passada& p, int j, int paridade) {
    const long nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q, omega = p.omega;
    double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    for (long i = 2 + (j + paridade) % 2; i <= nx - 1; i += 2) {
        double s = an * (l[i - nx] + l[i + nx]) + ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * q;
        if constexpr (RELAXAR) l[i] = l[i] + omega * (v - l[i]);
        else l[i] = v;
    }
}

template <bool DIREITO, bool RELAXAR>
void jacobi_de(const passada& p, int j, double* d) {
    const long nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q, omega = p.omega;
    const double* l = p.u + (j - 1) * nx;
    const double* f = DIREITO ? p.direito + (j - 1) * nx : nullptr;
    for (long i = 2; i <= nx - 1; ++i) {
        double s = an * (l[i - nx] + l[i + nx]) + ae * (l[i - 1] + l[i + 1]);
        if constexpr (DIREITO) s = s + f[i];
        const double v = s * q;
        if constexpr (RELAXAR) d[i] = l[i] + omega * (v - l[i]);
        else d[i] = v;
    }
}

} // namespace

void cor_linha(const passada& p, int j, int paridade) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? cor_de<false, true> : cor_de<false, false>)(p, j, paridade);
    else (relaxar ? cor_de<true, true> : cor_de<true, false>)(p, j, paridade);
}

void jacobi_linha(const passada& p, int j, double* d) {
    const bool relaxar = p.omega != 1.0;
    if (p.direito == nullptr) (relaxar ? jacobi_de<false, true> : jacobi_de<false, false>)(p, j, d);
    else (relaxar ? jacobi_de<true, true> : jacobi_de<true, false>)(p, j, d);
}
