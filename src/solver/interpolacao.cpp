// A interpolação da correção do nível k-1 para o nível k (doc/metodo.md, 5.4 e 12.3): bilinear, linear numa direção
// (semiengrossamento) e dependente do operador; e os pesos desta, tirados do estêncil do nível fino uma vez por
// solução.
//
// Pesos dependentes do operador num ponto interior q (estêncil de nove pontos; o de cinco tem diagonais 0):
//   aresta x: e = (ap - c_s) - c_n;  oW = ((c_sw + c_w) + c_nw) / e;  oE = ((c_se + c_e) + c_ne) / e
//   aresta y: e = (ap - c_w) - c_e;  oS = ((c_sw + c_s) + c_se) / e;  oN = ((c_nw + c_n) + c_ne) / e
//   centro:   oSW = ((c_sw + c_s*oW(S)) + c_w*oS(W)) / ap, e os outros três cantos do mesmo jeito
// Nos pontos de contorno (sem equação) os pesos lineares 1/2.
// Prolongação: coincidente v = cor; aresta v = o1*cor1 + o2*cor2; centro v = (oSW*SW + oSE*SE) + (oNW*NW + oNE*NE).
#include <cmath>

#include "solver/pesos_interpolacao.h"
#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

// Bilinear em ambas as direções: os mesmos operandos e a mesma ordem de prolongar (transferencias.cpp, 5.4).
void bilinear(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = (i - 1) / 2 + 1 + ((j - 1) / 2) * nxc;
            double v;
            if (i % 2 == 1 && j % 2 == 1) v = c[b];
            else if (j % 2 == 1) v = 0.5 * (c[b] + c[b + 1]);
            else if (i % 2 == 1) v = 0.5 * (c[b] + c[b + nxc]);
            else v = 0.25 * (c[b] + c[b + 1] + c[b + nxc] + c[b + nxc + 1]);
            f.u[i + (j - 1) * nx] += v;
        }
}

// Linear só em x (a linha grossa J é a fina J) ou só em y (a coluna grossa I é a fina I).
void linear_x(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = (i - 1) / 2 + 1 + (j - 1) * nxc;
            f.u[i + (j - 1) * nx] += i % 2 == 1 ? c[b] : 0.5 * (c[b] + c[b + 1]);
        }
}

void linear_y(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = i + ((j - 1) / 2) * nxc;
            f.u[i + (j - 1) * nx] += j % 2 == 1 ? c[b] : 0.5 * (c[b] + c[b + nxc]);
        }
}

template <class W>
void operador_completo(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    const W o(g.interpolacao, nx * f.ny);
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = (i - 1) / 2 + 1 + ((j - 1) / 2) * nxc, P = i + (j - 1) * nx;
            double v;
            if (i % 2 == 1 && j % 2 == 1) v = c[b];
            else if (j % 2 == 1) v = o.aresta_x(P, 0) * c[b] + o.aresta_x(P, 1) * c[b + 1];
            else if (i % 2 == 1) v = o.aresta_y(P, 0) * c[b] + o.aresta_y(P, 1) * c[b + nxc];
            else
                v = (o.centro(P, 0) * c[b] + o.centro(P, 1) * c[b + 1]) +
                    (o.centro(P, 2) * c[b + nxc] + o.centro(P, 3) * c[b + nxc + 1]);
            f.u[P] += v;
        }
}

template <class W>
void operador_x(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    const W o(g.interpolacao, nx * f.ny);
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = (i - 1) / 2 + 1 + (j - 1) * nxc, P = i + (j - 1) * nx;
            f.u[P] += i % 2 == 1 ? c[b] : o.aresta_x(P, 0) * c[b] + o.aresta_x(P, 1) * c[b + 1];
        }
}

template <class W>
void operador_y(const vista_nivel& f, const nivel_abaixo& g) {
    const long nx = f.nx, nxc = g.nxc;
    const double* c = g.cor;
    const W o(g.interpolacao, nx * f.ny);
    for (long j = 2; j <= f.ny - 1; ++j)
        for (long i = 2; i <= nx - 1; ++i) {
            const long b = i + ((j - 1) / 2) * nxc, P = i + (j - 1) * nx;
            f.u[P] += j % 2 == 1 ? c[b] : o.aresta_y(P, 0) * c[b] + o.aresta_y(P, 1) * c[b + nxc];
        }
}

// Pesos de aresta de um estêncil: x (oeste, leste) e y (sul, norte).
void aresta_x(const estencil9& a, double& oeste, double& leste) {
    const double e = (a[centro9] - a[1]) - a[7];
    oeste = ((a[0] + a[3]) + a[6]) / e;
    leste = ((a[2] + a[5]) + a[8]) / e;
}

void aresta_y(const estencil9& a, double& sul, double& norte) {
    const double e = (a[centro9] - a[3]) - a[5];
    sul = ((a[0] + a[1]) + a[2]) / e;
    norte = ((a[6] + a[7]) + a[8]) / e;
}

// Os quatro cantos de um centro, com os pesos das arestas vizinhas: x ao sul (S) e ao norte (N), y a oeste (W) e a
// leste (E); cada par (lado 0, lado 1).
void centro(const estencil9& a, const double (&S)[2], const double (&N)[2], const double (&W)[2],
            const double (&E)[2], double (&o)[4]) {
    const double ap = a[centro9];
    o[0] = ((a[0] + a[1] * S[0]) + a[3] * W[0]) / ap;
    o[1] = ((a[2] + a[1] * S[1]) + a[5] * E[0]) / ap;
    o[2] = ((a[6] + a[7] * N[0]) + a[3] * W[1]) / ap;
    o[3] = ((a[8] + a[7] * N[1]) + a[5] * E[1]) / ap;
}

} // namespace

prolongacao nucleo(forma_interpolacao f, tipo_engrossamento g) {
    const bool por_ponto = f == forma_interpolacao::operador_variavel;
    switch (g) {
    case tipo_engrossamento::completo:
        if (f == forma_interpolacao::bilinear) return bilinear;
        return por_ponto ? operador_completo<pesos_por_ponto> : operador_completo<pesos_fixos>;
    case tipo_engrossamento::x:
        if (f == forma_interpolacao::bilinear) return linear_x;
        return por_ponto ? operador_x<pesos_por_ponto> : operador_x<pesos_fixos>;
    case tipo_engrossamento::y:
        if (f == forma_interpolacao::bilinear) return linear_y;
        return por_ponto ? operador_y<pesos_por_ponto> : operador_y<pesos_fixos>;
    }
    return bilinear;
}

pesos_constantes pesos_do_estencil(const estencil9& a, tipo_engrossamento g) {
    pesos_constantes w;
    aresta_x(a, w.oeste, w.leste);
    aresta_y(a, w.sul, w.norte);
    if (g != tipo_engrossamento::completo) return w;
    const double S[2] = {w.oeste, w.leste}, W[2] = {w.sul, w.norte};
    double o[4];
    centro(a, S, S, W, W, o);
    w.sudoeste = o[0], w.sudeste = o[1], w.noroeste = o[2], w.nordeste = o[3];
    return w;
}

long pesos_do_operador(const vista_nivel& f, tipo_engrossamento g, double* grades) {
    const long nx = f.nx, ny = f.ny, nxy = nx * ny;
    double* q0 = grades;
    double* q1 = grades + nxy;
    long ruim = 0;
    auto guardar = [&](long P, double a, double b) {
        q0[P] = a;
        q1[P] = b;
        if (ruim == 0 && !(std::isfinite(a) && std::isfinite(b))) ruim = P;
    };
    const bool em_x = g != tipo_engrossamento::y, em_y = g != tipo_engrossamento::x;
    // arestas (e, no semiengrossamento, todo ponto fora das linhas ou colunas coincidentes)
    for (long j = 1; j <= ny; ++j)
        for (long i = 1; i <= nx; ++i) {
            const long P = i + (j - 1) * nx;
            const bool contorno = i == 1 || i == nx || j == 1 || j == ny;
            const bool ax = em_x && i % 2 == 0 && (!em_y || j % 2 == 1);
            const bool ay = em_y && j % 2 == 0 && (!em_x || i % 2 == 1);
            if (!ax && !ay) continue;
            if (contorno) {
                guardar(P, 0.5, 0.5);
                continue;
            }
            double a = 0.0, b = 0.0;
            if (ax) aresta_x(estencil_no_ponto(f, P), a, b);
            else aresta_y(estencil_no_ponto(f, P), a, b);
            guardar(P, a, b);
        }
    if (em_x && em_y) // centros, todos interiores, com as arestas já prontas
        for (long j = 2; j <= ny - 1; j += 2)
            for (long i = 2; i <= nx - 1; i += 2) {
                const long P = i + (j - 1) * nx;
                const double S[2] = {q0[P - nx], q1[P - nx]}, N[2] = {q0[P + nx], q1[P + nx]};
                const double W[2] = {q0[P - 1], q1[P - 1]}, E[2] = {q0[P + 1], q1[P + 1]};
                double o[4];
                centro(estencil_no_ponto(f, P), S, N, W, E, o);
                for (int c = 0; c < 4; ++c) grades[c * nxy + P] = o[c];
                if (ruim == 0 && !(std::isfinite(o[0]) && std::isfinite(o[1]) && std::isfinite(o[2]) &&
                                   std::isfinite(o[3])))
                    ruim = P;
            }
    return ruim;
}
