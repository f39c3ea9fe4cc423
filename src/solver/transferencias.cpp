// Transferências entre níveis: injeção do resíduo, prolongação bilinear e Gauss-Seidel da correção.
#include "solver/solver.h"

// Injeção: o resíduo do nível corrente nos pontos que coincidem com o nível k-1.
void restringir_residuo(estado_execucao& e) {
    const int nx = e.nxk;
    const int nxc = e.nxg[e.k - 1], nyc = e.nyg[e.k - 1];
    const long ofc = deslocamento_do_nivel(e, e.k - 1);
    const double ae = e.ae, an = e.an, ap = e.ap;
    double* r = e.res.data();
    if (e.k == e.nm) {
        const double* t = e.T.data();
        for (int J = 2; J <= nyc - 1; ++J)
            for (int I = 2; I <= nxc - 1; ++I) {
                const long P = (2 * I - 1) + (2L * J - 2) * nx;
                r[ofc + I + (J - 1L) * nxc] =
                    ae * (t[P - 1] + t[P + 1]) + an * (t[P - nx] + t[P + nx]) - ap * t[P];
            }
    } else {
        const double* c = e.cor.data();
        for (int J = 2; J <= nyc - 1; ++J)
            for (int I = 2; I <= nxc - 1; ++I) {
                const long Q = e.ofsk + (2 * I - 1) + (2L * J - 2) * nx;
                r[ofc + I + (J - 1L) * nxc] = r[Q] + ae * (c[Q - 1] + c[Q + 1])
                                             + an * (c[Q - nx] + c[Q + nx]) - ap * c[Q];
            }
    }
}

namespace {

// Interpolação bilinear da correção do nível k-1, somada a destino (índices locais do nível k).
void prolongar(const estado_execucao& e, double* destino) {
    const int nx = e.nxk, ny = e.nyk;
    const int nxc = e.nxg[e.k - 1];
    const long ofc = deslocamento_do_nivel(e, e.k - 1);
    const double* c = e.cor.data();
    for (int j = 2; j <= ny - 1; ++j)
        for (int i = 2; i <= nx - 1; ++i) {
            const int I = (i - 1) / 2 + 1, J = (j - 1) / 2 + 1;
            const long b = ofc + I + (J - 1L) * nxc;
            double v;
            if (i % 2 == 1 && j % 2 == 1) v = c[b];
            else if (j % 2 == 1) v = 0.5 * (c[b] + c[b + 1]);
            else if (i % 2 == 1) v = 0.5 * (c[b] + c[b + nxc]);
            else v = 0.25 * (c[b] + c[b + 1] + c[b + nxc] + c[b + nxc + 1]);
            destino[i + (j - 1L) * nx] += v;
        }
}

} // namespace

void prolongar_em_T(estado_execucao& e) { prolongar(e, e.T.data()); }

void prolongar_correcao(estado_execucao& e) { prolongar(e, e.cor.data() + e.ofsk); }

// Gauss-Seidel na equação da correção do nível corrente.
void suavizar_correcao(estado_execucao& e) {
    const int nx = e.nxk, ny = e.nyk;
    const double ae = e.ae, an = e.an, q = 1.0 / e.ap;
    double* c = e.cor.data() + e.ofsk;
    const double* r = e.res.data() + e.ofsk;
    for (int n = 0; n < e.nitm; ++n)
        for (int j = 2; j <= ny - 1; ++j)
            for (int i = 2; i <= nx - 1; ++i) {
                const long Q = i + (j - 1L) * nx;
                c[Q] = (an * (c[Q - nx] + c[Q + nx]) + ae * (c[Q - 1] + c[Q + 1]) + r[Q]) * q;
            }
}
