// Restrições do resíduo do nível k para o lado direito do nível k-1: injeção, meia ponderação e ponderação completa.
//
// Resíduo fino no ponto P (zero nos pontos de contorno, onde nunca é calculado):
//   em T:   r(P) = ae*(W + E) + an*(S + N) - ap*T(P)
//   em cor: r(P) = res(P) + ae*(W + E) + an*(S + N) - ap*cor(P)          (somas da esquerda para a direita)
// Para o ponto grosso interno (I, J), com o ponto fino coincidente P = (2I-1) + (2J-2)*nx:
//   injeção: r(P)
//   meia:    (4.0*r(P) + ((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx)))) * 0.125
//   completa: ((4.0*r(P) + 2.0*((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx))))
//              + ((r(P-nx-1) + r(P-nx+1)) + (r(P+nx-1) + r(P+nx+1)))) * 0.0625
// As ponderações calculam o resíduo de cada linha fina uma só vez, em três linhas de rascunho que giram.
#include <utility>

#include "solver/solver.h"

namespace {

template <bool DIREITO>
inline double residuo(const vista_nivel& v, long P) {
    const long nx = v.nx;
    const double* u = v.u;
    double r = v.ae * (u[P - 1] + u[P + 1]);
    if constexpr (DIREITO) r = v.f[P] + r;
    return r + v.an * (u[P - nx] + u[P + nx]) - v.ap * u[P];
}

// r[i] = resíduo no ponto (i, j), i = 2..nx-1.
template <bool DIREITO>
void residuo_linha(const vista_nivel& v, int j, double* r) {
    const long base = (j - 1) * static_cast<long>(v.nx);
    for (long i = 2; i <= v.nx - 1; ++i) r[i] = residuo<DIREITO>(v, base + i);
}

template <bool DIREITO>
void injecao(const vista_nivel& v, const nivel_abaixo& g) {
    const long nx = v.nx;
    for (int J = 2; J <= g.nyc - 1; ++J)
        for (int I = 2; I <= g.nxc - 1; ++I)
            g.r[I + (J - 1L) * g.nxc] = residuo<DIREITO>(v, (2 * I - 1) + (2L * J - 2) * nx);
}

// Percorre as linhas grossas J com os resíduos das linhas finas 2J-2 (s), 2J-1 (c) e 2J (n); combinar(s, c, n, i)
// dá o valor no ponto fino de coluna i.
template <bool DIREITO, class F>
void ponderada(const vista_nivel& v, const nivel_abaixo& g, double* rascunho, const F& combinar) {
    if (g.nxc <= 2 || g.nyc <= 2) return;
    const long w = v.nx + 1;
    double *s = rascunho, *c = rascunho + w, *n = rascunho + 2 * w;
    residuo_linha<DIREITO>(v, 2, n);
    for (int J = 2; J <= g.nyc - 1; ++J) {
        std::swap(s, n); // a linha norte da linha grossa anterior é a sul desta
        residuo_linha<DIREITO>(v, 2 * J - 1, c);
        residuo_linha<DIREITO>(v, 2 * J, n);
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

} // namespace

void restringir_injecao(const vista_nivel& fina, const nivel_abaixo& grossa, double*) {
    if (fina.f != nullptr) injecao<true>(fina, grossa);
    else injecao<false>(fina, grossa);
}

void restringir_meia(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    if (fina.f != nullptr) ponderada<true>(fina, grossa, rascunho, meia);
    else ponderada<false>(fina, grossa, rascunho, meia);
}

void restringir_completa(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    if (fina.f != nullptr) ponderada<true>(fina, grossa, rascunho, completa);
    else ponderada<false>(fina, grossa, rascunho, completa);
}
