// Restrições do resíduo do nível k para o lado direito do nível k-1: injeção, meia ponderação e ponderação completa.
//
// Resíduo fino no ponto P (zero nos pontos de contorno, onde nunca é calculado):
//   sem lado direito: r(P) = ae*(W + E) + an*(S + N) - ap*u(P)
//   com lado direito: r(P) = f(P) + ae*(W + E) + an*(S + N) - ap*u(P)   (somas da esquerda para a direita)
//   operador variável: ae*(W + E) vira ax(P)*W + ax(P+1)*E, an*(S + N) vira ay(P)*S + ay(P+nx)*N, ap vira ap(P)
// Para o ponto grosso interno (I, J), com o ponto fino coincidente P = (2I-1) + (2J-2)*nx:
//   injeção: r(P)
//   meia:    (4.0*r(P) + ((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx)))) * 0.125
//   completa: ((4.0*r(P) + 2.0*((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx))))
//              + ((r(P-nx-1) + r(P-nx+1)) + (r(P+nx-1) + r(P+nx+1)))) * 0.0625
// As ponderações calculam o resíduo de cada linha fina uma só vez, em três linhas de rascunho que giram.
#include <utility>

#include "solver/solver.h"

namespace {

// O resíduo com o estêncil constante.
struct constante {
    const vista_nivel& v;
    explicit constante(const vista_nivel& x) : v(x) {}
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
struct variavel {
    const vista_nivel& v;
    estencil_variavel c;
    explicit variavel(const vista_nivel& x) : v(x), c(estencil_de(x.pesos, static_cast<long>(x.nx) * x.ny)) {}
    template <bool DIREITO>
    double residuo(long P) const {
        const long nx = v.nx;
        const double* u = v.u;
        double r = c.x[P] * u[P - 1] + c.x[P + 1] * u[P + 1];
        if constexpr (DIREITO) r = v.f[P] + r;
        return (r + (c.y[P] * u[P - nx] + c.y[P + nx] * u[P + nx])) - c.p[P] * u[P];
    }
};

// r[i] = resíduo no ponto (i, j), i = 2..nx-1.
template <bool DIREITO, class E>
void residuo_linha(const E& est, int j, double* r) {
    const long base = (j - 1) * static_cast<long>(est.v.nx);
    for (long i = 2; i <= est.v.nx - 1; ++i) r[i] = est.template residuo<DIREITO>(base + i);
}

template <bool DIREITO, class E>
void injecao(const vista_nivel& v, const nivel_abaixo& g) {
    const long nx = v.nx;
    const E est(v);
    for (int J = 2; J <= g.nyc - 1; ++J)
        for (int I = 2; I <= g.nxc - 1; ++I)
            g.r[I + (J - 1L) * g.nxc] = est.template residuo<DIREITO>((2 * I - 1) + (2L * J - 2) * nx);
}

// Percorre as linhas grossas J com os resíduos das linhas finas 2J-2 (s), 2J-1 (c) e 2J (n); combinar(s, c, n, i)
// dá o valor no ponto fino de coluna i.
template <bool DIREITO, class E, class F>
void ponderada(const vista_nivel& v, const nivel_abaixo& g, double* rascunho, const F& combinar) {
    if (g.nxc <= 2 || g.nyc <= 2) return;
    const E est(v);
    const long w = v.nx + 1;
    double *s = rascunho, *c = rascunho + w, *n = rascunho + 2 * w;
    residuo_linha<DIREITO>(est, 2, n);
    for (int J = 2; J <= g.nyc - 1; ++J) {
        std::swap(s, n); // a linha norte da linha grossa anterior é a sul desta
        residuo_linha<DIREITO>(est, 2 * J - 1, c);
        residuo_linha<DIREITO>(est, 2 * J, n);
        for (int I = 2; I <= g.nxc - 1; ++I) g.r[I + (J - 1L) * g.nxc] = combinar(s, c, n, 2 * I - 1);
    }
}

inline double meia(const double* s, const double* c, const double* n, int i) {
    return (4.0 * c[i] + ((c[i - 1] + c[i + 1]) + (s[i] + n[i]))) * 0.125;
}

inline double completa(const double* s, const double* c, const double* n, int i) {
    return ((4.0 * c[i] + 2.0 * ((c[i - 1] + c[i + 1]) + (s[i] + n[i])))
            + ((s[i - 1] + s[i + 1]) + (n[i - 1] + n[i + 1]))) * 0.0625;
}

template <class E>
void injetar(const vista_nivel& fina, const nivel_abaixo& grossa) {
    if (fina.f != nullptr) injecao<true, E>(fina, grossa);
    else injecao<false, E>(fina, grossa);
}

template <class E, class F>
void ponderar(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho, const F& combinar) {
    if (fina.f != nullptr) ponderada<true, E>(fina, grossa, rascunho, combinar);
    else ponderada<false, E>(fina, grossa, rascunho, combinar);
}

} // namespace

void restringir_injecao(const vista_nivel& fina, const nivel_abaixo& grossa, double*) {
    injetar<constante>(fina, grossa);
}

void restringir_meia(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<constante>(fina, grossa, rascunho, meia);
}

void restringir_completa(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<constante>(fina, grossa, rascunho, completa);
}

void restringir_injecao_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double*) {
    injetar<variavel>(fina, grossa);
}

void restringir_meia_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<variavel>(fina, grossa, rascunho, meia);
}

void restringir_completa_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<variavel>(fina, grossa, rascunho, completa);
}
