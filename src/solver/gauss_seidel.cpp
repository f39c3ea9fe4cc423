// O suavizador de T: varreduras de Gauss-Seidel lexicográfico no nível mais fino (núcleo de referência).
#include "solver/solver.h"

// nitm varreduras lexicográficas sobre o interior de T (nível mais fino).
void gauss_seidel(estado_execucao& e) {
    const int nx = e.nxk, ny = e.nyk;
    const double ae = e.ae, an = e.an, q = 1.0 / e.ap;
    double* t = e.T.data();
    for (int n = 0; n < e.nitm; ++n)
        for (int j = 2; j <= ny - 1; ++j) {
            double* l = t + (j - 1) * static_cast<long>(nx);
            for (int i = 2; i <= nx - 1; ++i)
                l[i] = (an * (l[i - nx] + l[i + nx]) + ae * (l[i - 1] + l[i + 1])) * q;
        }
}
