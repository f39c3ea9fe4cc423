// Restrições além das de 5.3: a transposta da interpolação no engrossamento completo e as de uma direção só
// (semiengrossamento), em qualquer forma de operador (doc/metodo.md, 12.4).
//
// Transposta, P o ponto fino coincidente, omega o peso de cada ponto a partir do ponto grosso:
//   t = ((r(P) + (oE(P-1) r(P-1) + oW(P+1) r(P+1))) + (oN(P-nx) r(P-nx) + oS(P+nx) r(P+nx)))
//       + ((oNE(P-nx-1) r(P-nx-1) + oNW(P-nx+1) r(P-nx+1)) + (oSE(P+nx-1) r(P+nx-1) + oSW(P+nx+1) r(P+nx+1)))
//   res = t * 0.25
// Semiengrossamento em x, P = (2I-1) + (J-1)*nx (em y: P = I + (2J-2)*nx, com P-nx e P+nx no lugar de P-1, P+1):
//   injeção: r(P);  completa: (2.0*r(P) + (r(P-1) + r(P+1))) * 0.25;
//   transposta: (r(P) + (oE(P-1) r(P-1) + oW(P+1) r(P+1))) * 0.5
#include <utility>

#include "solver/pesos_interpolacao.h"
#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

// As linhas grossas J com os resíduos das linhas finas 2J-2 (s), 2J-1 (c) e 2J (n), calculados uma vez cada;
// valor(s, c, n, J) escreve a linha grossa J.
template <bool DIREITO, class E, class F>
void tres_linhas(const vista_nivel& v, const nivel_abaixo& g, double* rascunho, const F& valor) {
    const E est(v);
    const long w = v.nx + 1;
    double *s = rascunho, *c = rascunho + w, *n = rascunho + 2 * w;
    residuo_linha<DIREITO>(est, 2, n);
    for (int J = 2; J <= g.nyc - 1; ++J) {
        std::swap(s, n);
        residuo_linha<DIREITO>(est, 2 * J - 1, c);
        residuo_linha<DIREITO>(est, 2 * J, n);
        valor(s, c, n, J);
    }
}

template <bool DIREITO, class E, class W>
void transposta(const vista_nivel& v, const nivel_abaixo& g, double* rascunho) {
    const long nx = v.nx;
    const W o(g.interpolacao, nx * v.ny);
    tres_linhas<DIREITO, E>(v, g, rascunho, [&](const double* s, const double* c, const double* n, int J) {
        for (int I = 2; I <= g.nxc - 1; ++I) {
            const long i = 2 * I - 1, P = i + (2L * J - 2) * nx;
            const double t =
                ((c[i] + (o.aresta_x(P - 1, 1) * c[i - 1] + o.aresta_x(P + 1, 0) * c[i + 1])) +
                 (o.aresta_y(P - nx, 1) * s[i] + o.aresta_y(P + nx, 0) * n[i])) +
                ((o.centro(P - nx - 1, 3) * s[i - 1] + o.centro(P - nx + 1, 2) * s[i + 1]) +
                 (o.centro(P + nx - 1, 1) * n[i - 1] + o.centro(P + nx + 1, 0) * n[i + 1]));
            g.r[I + (J - 1L) * g.nxc] = t * 0.25;
        }
    });
}

// Semiengrossamento em x: a linha grossa J é a linha fina J.
template <bool DIREITO, class E, class W>
void semi_x(const vista_nivel& v, const nivel_abaixo& g, double* rascunho, tipo_restricao r) {
    const long nx = v.nx;
    const E est(v);
    const W o(g.interpolacao, nx * v.ny);
    double* c = rascunho;
    for (int J = 2; J <= g.nyc - 1; ++J) {
        const long base = (J - 1L) * nx;
        if (r == tipo_restricao::injecao) {
            for (int I = 2; I <= g.nxc - 1; ++I)
                g.r[I + (J - 1L) * g.nxc] = est.template residuo<DIREITO>(base + 2 * I - 1);
            continue;
        }
        residuo_linha<DIREITO>(est, J, c);
        for (int I = 2; I <= g.nxc - 1; ++I) {
            const long i = 2 * I - 1, P = base + i;
            g.r[I + (J - 1L) * g.nxc] =
                r == tipo_restricao::completa
                    ? (2.0 * c[i] + (c[i - 1] + c[i + 1])) * 0.25
                    : (c[i] + (o.aresta_x(P - 1, 1) * c[i - 1] + o.aresta_x(P + 1, 0) * c[i + 1])) * 0.5;
        }
    }
}

// Semiengrossamento em y: a coluna grossa I é a coluna fina I.
template <bool DIREITO, class E, class W>
void semi_y(const vista_nivel& v, const nivel_abaixo& g, double* rascunho, tipo_restricao r) {
    const long nx = v.nx;
    if (r == tipo_restricao::injecao) {
        const E est(v);
        for (int J = 2; J <= g.nyc - 1; ++J)
            for (int I = 2; I <= g.nxc - 1; ++I)
                g.r[I + (J - 1L) * g.nxc] = est.template residuo<DIREITO>(I + (2L * J - 2) * nx);
        return;
    }
    const W o(g.interpolacao, nx * v.ny);
    tres_linhas<DIREITO, E>(v, g, rascunho, [&](const double* s, const double* c, const double* n, int J) {
        for (long i = 2; i <= g.nxc - 1; ++i) {
            const long P = i + (2L * J - 2) * nx;
            g.r[i + (J - 1L) * g.nxc] =
                r == tipo_restricao::completa
                    ? (2.0 * c[i] + (s[i] + n[i])) * 0.25
                    : (c[i] + (o.aresta_y(P - nx, 1) * s[i] + o.aresta_y(P + nx, 0) * n[i])) * 0.5;
        }
    });
}

// Uma instância por restrição, forma, engrossamento e pesos; o lado direito escolhido antes dos laços.
template <tipo_restricao R, tipo_engrossamento G, class E, class W>
void restringir(const vista_nivel& fina, const nivel_abaixo& grossa, double* rascunho) {
    if (grossa.nxc <= 2 || grossa.nyc <= 2) return;
    const bool d = fina.f != nullptr;
    if constexpr (G == tipo_engrossamento::completo) {
        (d ? transposta<true, E, W> : transposta<false, E, W>)(fina, grossa, rascunho);
    } else if constexpr (G == tipo_engrossamento::x) {
        (d ? semi_x<true, E, W> : semi_x<false, E, W>)(fina, grossa, rascunho, R);
    } else {
        (d ? semi_y<true, E, W> : semi_y<false, E, W>)(fina, grossa, rascunho, R);
    }
}

template <tipo_restricao R, tipo_engrossamento G, class E>
restricao com_pesos(forma_interpolacao i) {
    return i == forma_interpolacao::operador_variavel ? restringir<R, G, E, pesos_por_ponto>
                                                       : restringir<R, G, E, pesos_fixos>;
}

template <tipo_restricao R, class E>
restricao por_engrossamento(tipo_engrossamento g, forma_interpolacao i) {
    switch (g) {
    case tipo_engrossamento::completo:
        if constexpr (R == tipo_restricao::transposta) return com_pesos<R, tipo_engrossamento::completo, E>(i);
        else return nullptr; // as de 5.3 (restricao_plena)
    case tipo_engrossamento::x: return com_pesos<R, tipo_engrossamento::x, E>(i);
    case tipo_engrossamento::y: return com_pesos<R, tipo_engrossamento::y, E>(i);
    }
    return nullptr;
}

template <class E>
restricao por_tipo(tipo_restricao r, tipo_engrossamento g, forma_interpolacao i) {
    switch (r) {
    case tipo_restricao::injecao: return por_engrossamento<tipo_restricao::injecao, E>(g, i);
    case tipo_restricao::completa: return por_engrossamento<tipo_restricao::completa, E>(g, i);
    case tipo_restricao::transposta: return por_engrossamento<tipo_restricao::transposta, E>(g, i);
    case tipo_restricao::meia: break; // sem forma numa direção: recusada antes
    }
    return nullptr;
}

} // namespace

restricao restricao_geral(tipo_restricao r, forma_operador f, tipo_engrossamento g, forma_interpolacao i) {
    switch (f) {
    case forma_operador::cinco_constante: return por_tipo<residuo_constante>(r, g, i);
    case forma_operador::cinco_variavel: return por_tipo<residuo_variavel>(r, g, i);
    case forma_operador::nove_constante: return por_tipo<residuo_nove_constante>(r, g, i);
    case forma_operador::nove_variavel: return por_tipo<residuo_nove_variavel>(r, g, i);
    }
    return nullptr;
}
