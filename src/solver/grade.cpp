// Nível corrente e coeficientes das equações de cinco pontos.
#include "solver/solver.h"

void coeficientes(estado_execucao& e) {
    e.ae = 1.0 / (e.dx * e.dx);
    e.an = 1.0 / (e.dy * e.dy);
    e.ap = (e.an + e.ae) * 2.0;
}

void selecionar_nivel(estado_execucao& e, int k) {
    e.k = k;
    e.ofsk = 0;
    for (int m = 1; m < k; ++m) e.ofsk += e.nxyg[m];
    e.nxk = e.nxg[k];
    e.nyk = e.nyg[k];
    e.nxyk = e.nxk * e.nyk;
    e.dx = 1.0 / static_cast<double>(e.nxk - 1);
    e.dy = 1.0 / static_cast<double>(e.nyk - 1);
}
