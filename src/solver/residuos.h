// O resíduo de um ponto em cada forma de operador (doc/metodo.md, 5.2 e 12.2), como política dos núcleos de
// restrição, e os coeficientes de nove pontos como política dos núcleos que os leem.
//
//   cinco, constante: r = ae*(W + E) [+ f antes] + an*(S + N) - ap*u(P)
//   cinco, variável:  x = ax(P)*W + ax(P+1)*E;  y = ay(P)*S + ay(P+nx)*N;  r = (([f +] x) + y) - ap(P)*u(P)
//   nove:             x = c_w*W + c_e*E;  y = c_s*S + c_n*N;  d = (c_sw*SW + c_se*SE) + (c_nw*NW + c_ne*NE)
//                     r = ((([f +] x) + y) + d) - ap*u(P)
#pragma once

#include "solver/plano.h"
#include "state/operador.h"

// O resíduo com o estêncil constante de cinco pontos.
struct residuo_constante {
    const vista_nivel& v;
    explicit residuo_constante(const vista_nivel& x) : v(x) {}
    template <bool DIREITO>
    double residuo(long P) const {
        const long nx = v.nx;
        const double* u = v.u;
        double r = v.ae * (u[P - 1] + u[P + 1]);
        if constexpr (DIREITO) r = v.f[P] + r;
        return r + v.an * (u[P - nx] + u[P + nx]) - v.ap * u[P];
    }
};

// O resíduo com os coeficientes de aresta do ponto.
struct residuo_variavel {
    const vista_nivel& v;
    estencil_variavel c;
    explicit residuo_variavel(const vista_nivel& x) : v(x), c(estencil_de(x.pesos, static_cast<long>(x.nx) * x.ny)) {}
    template <bool DIREITO>
    double residuo(long P) const {
        const long nx = v.nx;
        const double* u = v.u;
        double r = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
        if constexpr (DIREITO) r = v.f[P] + r;
        return (r + (c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx])) - c.p[P] * u[P];
    }
};

// O resíduo de nove pontos; C diz onde está o coeficiente g do ponto P (constante: os nove números do nível).
template <class C>
struct residuo_nove {
    const vista_nivel& v;
    C c;
    explicit residuo_nove(const vista_nivel& x) : v(x), c(x) {}
    template <bool DIREITO>
    double residuo(long P) const {
        const long nx = v.nx;
        const double* u = v.u;
        const double x = c(P, 3) * u[P - 1] + c(P, 5) * u[P + 1];
        const double y = c(P, 1) * u[P - nx] + c(P, 7) * u[P + nx];
        const double d = (c(P, 0) * u[P - nx - 1] + c(P, 2) * u[P - nx + 1]) +
                         (c(P, 6) * u[P + nx - 1] + c(P, 8) * u[P + nx + 1]);
        double r = x;
        if constexpr (DIREITO) r = v.f[P] + r;
        return ((r + y) + d) - c(P, centro9) * u[P];
    }
};

// Os coeficientes de nove pontos: os mesmos em todo ponto, ou as nove grades do bloco do nível.
struct coeficientes_nove_constantes {
    const double* nove;
    explicit coeficientes_nove_constantes(const vista_nivel& v) : nove(v.nove) {}
    double operator()(long, int g) const { return nove[g]; }
};

struct coeficientes_nove_variaveis {
    const double* bloco;
    long nxy;
    explicit coeficientes_nove_variaveis(const vista_nivel& v)
        : bloco(v.pesos), nxy(static_cast<long>(v.nx) * v.ny) {}
    double operator()(long P, int g) const { return bloco[g * nxy + P]; }
};

using residuo_nove_constante = residuo_nove<coeficientes_nove_constantes>;
using residuo_nove_variavel = residuo_nove<coeficientes_nove_variaveis>;

/// r[i] = resíduo no ponto (i, j), i = 2..nx-1.
template <bool DIREITO, class E>
void residuo_linha(const E& est, int j, double* r) {
    const long base = (j - 1) * static_cast<long>(est.v.nx);
    for (long i = 2; i <= est.v.nx - 1; ++i) r[i] = est.template residuo<DIREITO>(base + i);
}
