// O operador de Galerkin R A P de um nível grosso a partir do nível de cima (doc/metodo.md, 12.5): para cada ponto
// grosso interior C e cada um dos seus nove pontos D,
//   t_p(D) = soma, q no estêncil de p (j externo, i interno), D pai de q:  a(p, q) * omega_D(q)     (a partir de 0.0)
//   G(C, D) = soma, p no suporte de R(C, .) (j externo, i interno):      R(C, p) * t_p(D)           (a partir de 0.0)
//   ap(C) = G(C, C);  c_o(C) = -G(C, C + o)
// com a(p, p) = ap(p), a(p, q) = -c_{q-p}(p). Cada t_p(D) recebe as suas parcelas na ordem de q, cada G(C, D) na
// ordem de p: somar as parcelas de q nos nove D de uma vez dá os mesmos bits que um D de cada vez.
#include "solver/pesos_interpolacao.h"
#include "solver/residuos.h"
#include "solver/solver.h"

namespace {

// Um ponto do suporte de R: deslocamento a partir do ponto fino coincidente e o peso.
struct parcela_r {
    int di, dj;
    double r;
};

// Os pais de um ponto fino de deslocamento (qi, qj) a partir do ponto fino de C, como deslocamentos grossos a
// partir de C, com os pesos (W: os pesos da interpolação; P: o índice do ponto fino, para os por ponto).
struct pai {
    int dI, dJ;
    double w;
};

template <class W>
int pais(const W& o, tipo_engrossamento g, int qi, int qj, long P, pai (&p)[4]) {
    const bool par_i = qi % 2 == 0, par_j = qj % 2 == 0;
    switch (g) {
    case tipo_engrossamento::x:
        if (par_i) return p[0] = {qi / 2, qj, 1.0}, 1;
        p[0] = {(qi - 1) / 2, qj, o.aresta_x(P, 0)};
        p[1] = {(qi + 1) / 2, qj, o.aresta_x(P, 1)};
        return 2;
    case tipo_engrossamento::y:
        if (par_j) return p[0] = {qi, qj / 2, 1.0}, 1;
        p[0] = {qi, (qj - 1) / 2, o.aresta_y(P, 0)};
        p[1] = {qi, (qj + 1) / 2, o.aresta_y(P, 1)};
        return 2;
    case tipo_engrossamento::completo: break;
    }
    if (par_i && par_j) return p[0] = {qi / 2, qj / 2, 1.0}, 1;
    if (par_j) {
        p[0] = {(qi - 1) / 2, qj / 2, o.aresta_x(P, 0)};
        p[1] = {(qi + 1) / 2, qj / 2, o.aresta_x(P, 1)};
        return 2;
    }
    if (par_i) {
        p[0] = {qi / 2, (qj - 1) / 2, o.aresta_y(P, 0)};
        p[1] = {qi / 2, (qj + 1) / 2, o.aresta_y(P, 1)};
        return 2;
    }
    p[0] = {(qi - 1) / 2, (qj - 1) / 2, o.centro(P, 0)};
    p[1] = {(qi + 1) / 2, (qj - 1) / 2, o.centro(P, 1)};
    p[2] = {(qi - 1) / 2, (qj + 1) / 2, o.centro(P, 2)};
    p[3] = {(qi + 1) / 2, (qj + 1) / 2, o.centro(P, 3)};
    return 4;
}

// O suporte de R(C, .) em ordem (j externo, i interno), com os pesos de 12.4; n o número de pontos.
template <class W>
int suporte(const W& o, tipo_restricao r, tipo_engrossamento g, long P, long nx, parcela_r (&s)[9]) {
    int n = 0;
    if (r == tipo_restricao::injecao) return s[0] = {0, 0, 1.0}, 1;
    if (g != tipo_engrossamento::completo) {
        const bool em_x = g == tipo_engrossamento::x;
        const long passo = em_x ? 1 : nx;
        for (int d = -1; d <= 1; ++d) {
            double w = d == 0 ? 0.5 : 0.25;
            if (r == tipo_restricao::transposta && d != 0)
                w = (em_x ? o.aresta_x(P + d * passo, d < 0 ? 1 : 0) : o.aresta_y(P + d * passo, d < 0 ? 1 : 0)) * 0.5;
            s[n++] = {em_x ? d : 0, em_x ? 0 : d, w};
        }
        return n;
    }
    for (int dj = -1; dj <= 1; ++dj)
        for (int di = -1; di <= 1; ++di) {
            const int bordas = (di != 0) + (dj != 0);
            double w = 0.0;
            switch (r) {
            case tipo_restricao::meia:
                if (bordas == 2) continue;
                w = bordas == 0 ? 0.5 : 0.125;
                break;
            case tipo_restricao::completa: w = bordas == 0 ? 0.25 : bordas == 1 ? 0.125 : 0.0625; break;
            case tipo_restricao::transposta: {
                const long Q = P + di + dj * nx;
                // o peso de Q a partir de C: C é o pai do lado oposto ao deslocamento
                if (bordas == 0) w = 1.0;
                else if (dj == 0) w = o.aresta_x(Q, di < 0 ? 1 : 0);
                else if (di == 0) w = o.aresta_y(Q, dj < 0 ? 1 : 0);
                else w = o.centro(Q, (di < 0 ? 1 : 0) + (dj < 0 ? 2 : 0));
                w = w * 0.25;
                break;
            }
            case tipo_restricao::injecao: break;
            }
            s[n++] = {di, dj, w};
        }
    return n;
}

// G(C, .) no ponto grosso C de ponto fino (ic, jc) (índice Pc); E dá o estêncil de nove pontos de um ponto fino.
template <class E, class W>
estencil9 no_ponto(const E& estencil, const W& o, bool cinco, tipo_restricao r, tipo_engrossamento g, long Pc,
                   long nx) {
    parcela_r s[9];
    const int ns = suporte(o, r, g, Pc, nx, s);
    estencil9 G{};
    for (int k = 0; k < ns; ++k) {
        const long Pp = Pc + s[k].di + s[k].dj * nx;
        const estencil9 a = estencil(Pp);
        double t[9] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
        for (int dj = -1; dj <= 1; ++dj)
            for (int di = -1; di <= 1; ++di) {
                if (cinco && di != 0 && dj != 0) continue;
                const int gq = posicao9(di, dj);
                const double apq = gq == centro9 ? a[centro9] : -a[gq];
                pai p[4];
                const int np = pais(o, g, s[k].di + di, s[k].dj + dj, Pp + di + dj * nx, p);
                for (int m = 0; m < np; ++m) {
                    const int gd = posicao9(p[m].dI, p[m].dJ);
                    t[gd] = t[gd] + apq * p[m].w;
                }
            }
        for (int gd = 0; gd < 9; ++gd) G[gd] = G[gd] + s[k].r * t[gd];
    }
    estencil9 c;
    for (int gd = 0; gd < 9; ++gd) c[gd] = gd == centro9 ? G[gd] : -G[gd];
    return c;
}

template <class W>
void por_ponto(const vista_nivel& fina, const vista_interpolacao& interp, tipo_restricao r, int nxc, int nyc,
               double* bloco) {
    const long nx = fina.nx, nxy = nx * fina.ny, nxyc = static_cast<long>(nxc) * nyc;
    const W o(interp, nxy);
    const bool cinco = !nove_pontos(fina.forma);
    const tipo_engrossamento g = interp.engrossamento;
    const auto estencil = [&](long P) { return estencil_no_ponto(fina, P); };
    for (long J = 2; J <= nyc - 1; ++J)
        for (long I = 2; I <= nxc - 1; ++I) {
            const long ic = g == tipo_engrossamento::y ? I : 2 * I - 1;
            const long jc = g == tipo_engrossamento::x ? J : 2 * J - 1;
            const estencil9 c = no_ponto(estencil, o, cinco, r, g, ic + (jc - 1) * nx, nx);
            const long P = I + (J - 1) * nxc;
            for (int gd = 0; gd < 9; ++gd) bloco[gd * nxyc + P] = c[gd];
        }
}

// Os pesos de um estêncil constante vistos como os de uma interpolação de pesos fixos.
struct pesos_do_nivel {
    pesos_constantes w;
    double aresta_x(long, int lado) const { return lado == 0 ? w.oeste : w.leste; }
    double aresta_y(long, int lado) const { return lado == 0 ? w.sul : w.norte; }
    double centro(long, int canto) const {
        return canto == 0 ? w.sudoeste : canto == 1 ? w.sudeste : canto == 2 ? w.noroeste : w.nordeste;
    }
};

} // namespace

estencil9 estencil_no_ponto(const vista_nivel& v, long P) {
    const long nx = v.nx, nxy = nx * v.ny;
    switch (v.forma) {
    case forma_operador::cinco_constante: return {0.0, v.an, 0.0, v.ae, v.ap, v.ae, 0.0, v.an, 0.0};
    case forma_operador::cinco_variavel: {
        const estencil_variavel c = estencil_de(v.pesos, nxy);
        return {0.0, c.y[P], 0.0, c.x[P], c.p[P], c.x[P + 1], 0.0, c.y[P + nx], 0.0};
    }
    case forma_operador::nove_constante: {
        estencil9 a;
        for (int g = 0; g < 9; ++g) a[g] = v.nove[g];
        return a;
    }
    case forma_operador::nove_variavel: {
        estencil9 a;
        for (int g = 0; g < 9; ++g) a[g] = v.pesos[g * nxy + P];
        return a;
    }
    }
    return {};
}

estencil9 galerkin_constante(const estencil9& a, bool cinco, const pesos_constantes& w, tipo_restricao r,
                             tipo_engrossamento g) {
    const pesos_do_nivel o{w};
    // um ponto qualquer de uma grade infinita: o estêncil e os pesos são os mesmos em todo ponto
    return no_ponto([&](long) { return a; }, o, cinco, r, g, 0, 0);
}

void galerkin_por_ponto(const vista_nivel& fina, const vista_interpolacao& interp, tipo_restricao r, int nxc, int nyc,
                        double* bloco) {
    if (interp.forma == forma_interpolacao::operador_variavel)
        por_ponto<pesos_por_ponto>(fina, interp, r, nxc, nyc, bloco);
    else
        por_ponto<pesos_fixos>(fina, interp, r, nxc, nyc, bloco);
}
