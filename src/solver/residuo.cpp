// Norma L1 dos resíduos do nível mais fino, somada em ordem de armazenamento (núcleo de referência).
#include <cmath>

#include "solver/solver.h"

// Soma de |r| sobre o interior do nível mais fino; o resultado fica em rnorm.
void norma_l1(estado_execucao& e) {
    const int nx = e.nxk, ny = e.nyk;
    const double ae = e.ae, an = e.an, ap = e.ap;
    const double* t = e.T.data();
    double s = 0.0;
    for (int j = 2; j <= ny - 1; ++j) {
        const double* l = t + (j - 1) * static_cast<long>(nx);
        for (int i = 2; i <= nx - 1; ++i)
            s = s + std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
    }
    e.rnorm = s;
}
