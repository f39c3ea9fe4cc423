// Restrições do resíduo do nível k para o lado direito do nível k-1: injeção, meia ponderação e ponderação completa.
//
// Resíduo fino no ponto P (zero nos pontos de contorno, onde nunca é calculado):
//   sem lado direito: r(P) = ae*(W + E) + an*(S + N) - ap*u(P)
//   com lado direito: r(P) = f(P) + ae*(W + E) + an*(S + N) - ap*u(P)   (somas da esquerda para a direita)
//   operador variável: ae*(W + E) vira ax(P)*W + ax(P+1)*E, an*(S + N) vira ay(P)*S + ay(P+nx)*N, ap vira ap(P)
//   nove pontos: solver/residuos.h
// Para o ponto grosso interno (I, J), com o ponto fino coincidente P = (2I-1) + (2J-2)*nx:
//   injeção: r(P)
//   meia:    (4.0*r(P) + ((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx)))) * 0.125
//   completa: ((4.0*r(P) + 2.0*((r(P-1) + r(P+1)) + (r(P-nx) + r(P+nx))))
//              + ((r(P-nx-1) + r(P-nx+1)) + (r(P+nx-1) + r(P+nx+1)))) * 0.0625
// As ponderações calculam o resíduo de cada linha fina uma só vez, em três linhas de rascunho que giram.
#include <utility>

#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

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

template <class E>
void injetar_em(const vista_nivel& fina, const nivel_abaixo& grossa, double*) {
    injetar<E>(fina, grossa);
}

template <class E>
void meia_em(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<E>(fina, grossa, rascunho, meia);
}

template <class E>
void completa_em(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    ponderar<E>(fina, grossa, rascunho, completa);
}

template <class E>
restricao da_forma(tipo_restricao r) {
    switch (r) {
    case tipo_restricao::injecao: return injetar_em<E>;
    case tipo_restricao::meia: return meia_em<E>;
    case tipo_restricao::completa: return completa_em<E>;
    case tipo_restricao::transposta: break;
    }
    return nullptr;
}

} // namespace

void restringir_injecao(const vista_nivel& fina, const nivel_abaixo& grossa, double* r) {
    injetar_em<residuo_constante>(fina, grossa, r);
}

void restringir_meia(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    meia_em<residuo_constante>(fina, grossa, rascunho);
}

void restringir_completa(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    completa_em<residuo_constante>(fina, grossa, rascunho);
}

void restringir_injecao_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* r) {
    injetar_em<residuo_variavel>(fina, grossa, r);
}

void restringir_meia_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    meia_em<residuo_variavel>(fina, grossa, rascunho);
}

void restringir_completa_variavel(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    completa_em<residuo_variavel>(fina, grossa, rascunho);
}

restricao restricao_plena(tipo_restricao r, forma_operador f) {
    switch (f) {
    case forma_operador::cinco_constante: return da_forma<residuo_constante>(r);
    case forma_operador::cinco_variavel: return da_forma<residuo_variavel>(r);
    case forma_operador::nove_constante: return da_forma<residuo_nove_constante>(r);
    case forma_operador::nove_variavel: return da_forma<residuo_nove_variavel>(r);
    }
    return nullptr;
}
