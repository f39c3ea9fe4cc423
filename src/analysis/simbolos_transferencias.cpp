// Símbolos de Fourier das transferências e do operador grosso dos componentes robustos (doc/metodo.md, 10 e 12):
// a interpolação (bilinear, ou dependente do operador, de pesos constantes), a restrição (as de 5.3 e a transposta),
// o operador grosso como estêncil de nove pontos (rediscretizado, ou o de Galerkin que o solver calcula) e a correção
// grossa K, inteira ou em dois blocos 2 x 2 (semiengrossamento). Funções soltas para que a LFA de k-grades de um
// ciclo as reuse.
#include <cmath>
#include <numbers>

#include "analysis/analise.h"
#include "state/componentes.h"

// Convenções (as de simbolos_lfa.cpp): o harmônico a de theta tem a fase phi = theta + pi (a & 1, a >> 1); um peso
// w(o) da interpolação é o com que o ponto fino a deslocamento o de um ponto grosso o toma, r(o) o da restrição.
//   P(phi) = (1/4) soma w(o) e^{-i phi.o}  (semiengrossamento: 1/2 e uma direção)
//   R(phi) = soma r(o) e^{+i phi.o}
//   L_H(Theta) = ap - soma c_o e^{i Theta.o}, Theta a frequência grossa do harmônico

namespace {

using std::numbers::pi;

// e^{-i (f1 di + f2 dj)}
complexo fase(double f1, double f2, int di, int dj) { return std::polar(1.0, -(f1 * di + f2 * dj)); }

// O peso com que o ponto fino de deslocamento (di, dj) de um ponto grosso o toma (engrossamento completo).
double peso(const pesos_constantes& w, int di, int dj) {
    if (di == 0 && dj == 0) return 1.0;
    if (dj == 0) return di > 0 ? w.oeste : w.leste;
    if (di == 0) return dj > 0 ? w.sul : w.norte;
    if (dj > 0) return di > 0 ? w.sudoeste : w.sudeste;
    return di > 0 ? w.noroeste : w.nordeste;
}

} // namespace

bool transferencias_classicas(const pedido_lfa& p) {
    return p.operador_grosso == tipo_operador_grosso::rediscretizado && p.interpolacao == tipo_interpolacao::bilinear &&
           p.engrossamento == tipo_engrossamento::completo && p.restricao != tipo_restricao::transposta;
}

estencil9 estencil_fino_da_lfa(const pedido_lfa& p) {
    return {0.0, p.an, 0.0, p.ae, 2.0 * (p.ae + p.an), p.ae, 0.0, p.an, 0.0};
}

pesos_constantes pesos_da_lfa(const pedido_lfa& p) {
    if (p.interpolacao == tipo_interpolacao::bilinear) return {};
    return pesos_do_estencil(estencil_fino_da_lfa(p), p.engrossamento);
}

estencil9 estencil_grosso_da_lfa(const pedido_lfa& p, const pesos_constantes& w) {
    if (p.operador_grosso == tipo_operador_grosso::galerkin)
        return galerkin_constante(estencil_fino_da_lfa(p), true, w, p.restricao, p.engrossamento);
    // rediscretizado: o espaçamento dobra nas direções engrossadas (ae/4, an/4)
    const componente_engrossamento& g = componente(p.engrossamento);
    const double ae = g.em_x ? 0.25 * p.ae : p.ae, an = g.em_y ? 0.25 * p.an : p.an;
    return {0.0, an, 0.0, ae, 2.0 * (ae + an), ae, 0.0, an, 0.0};
}

complexo simbolo_estencil(const estencil9& a, double t1, double t2) {
    // ap - soma c e^{i Theta.o} = (ap - soma c) + soma c (1 - cos) - i soma c sin, com 1 - cos = 2 sin^2(./2): sem
    // cancelamento perto de Theta = 0, onde o símbolo some
    double soma = a[centro9], real = 0.0, imaginaria = 0.0;
    for (int dj = -1; dj <= 1; ++dj)
        for (int di = -1; di <= 1; ++di) {
            const int g = posicao9(di, dj);
            if (g == centro9) continue;
            const double x = t1 * di + t2 * dj, s = std::sin(0.5 * x);
            soma -= a[g];
            real += a[g] * (2.0 * s * s);
            imaginaria -= a[g] * std::sin(x);
        }
    return {soma + real, imaginaria};
}

complexo simbolo_interpolacao(const pesos_constantes& w, tipo_engrossamento g, double f1, double f2) {
    complexo s = 0.0;
    switch (g) {
    case tipo_engrossamento::x:
        return 0.5 * (1.0 + w.oeste * fase(f1, f2, 1, 0) + w.leste * fase(f1, f2, -1, 0));
    case tipo_engrossamento::y:
        return 0.5 * (1.0 + w.sul * fase(f1, f2, 0, 1) + w.norte * fase(f1, f2, 0, -1));
    case tipo_engrossamento::completo: break;
    }
    for (int dj = -1; dj <= 1; ++dj)
        for (int di = -1; di <= 1; ++di) s += peso(w, di, dj) * fase(f1, f2, di, dj);
    return 0.25 * s;
}

complexo simbolo_restricao_geral(const pedido_lfa& p, const pesos_constantes& w, double f1, double f2) {
    if (p.restricao == tipo_restricao::transposta) return std::conj(simbolo_interpolacao(w, p.engrossamento, f1, f2));
    if (p.restricao == tipo_restricao::injecao) return 1.0;
    const double c1 = std::cos(0.5 * f1), c2 = std::cos(0.5 * f2);
    switch (p.engrossamento) {
    case tipo_engrossamento::x: return c1 * c1; // (2 + 2 cos)/4
    case tipo_engrossamento::y: return c2 * c2;
    case tipo_engrossamento::completo: break;
    }
    if (p.restricao == tipo_restricao::meia) return 0.5 * (c1 * c1 + c2 * c2);
    return (c1 * c1) * (c2 * c2);
}

int grupo_do_harmonico(tipo_engrossamento g, int a) {
    switch (g) {
    case tipo_engrossamento::x: return a >> 1;  // {theta, theta+(pi,0)}, {theta+(0,pi), theta+(pi,pi)}
    case tipo_engrossamento::y: return a & 1;   // {theta, theta+(0,pi)}, {theta+(pi,0), theta+(pi,pi)}
    case tipo_engrossamento::completo: break;
    }
    return 0;
}

matriz4 correcao_grossa_geral(const pedido_lfa& p, double t1, double t2) {
    const pesos_constantes w = pesos_da_lfa(p);
    const estencil9 grosso = estencil_grosso_da_lfa(p, w);
    const componente_engrossamento& g = componente(p.engrossamento);
    complexo pr[4], rl[4];
    for (int a = 0; a < 4; ++a) {
        const double f1 = t1 + ((a & 1) ? pi : 0.0), f2 = t2 + ((a & 2) ? pi : 0.0);
        const double s1 = std::sin(0.5 * f1), s2 = std::sin(0.5 * f2);
        const double l = 4.0 * p.ae * (s1 * s1) + 4.0 * p.an * (s2 * s2);
        // a frequência grossa: o dobro nas direções engrossadas
        const double T1 = g.em_x ? 2.0 * t1 : f1, T2 = g.em_y ? 2.0 * t2 : f2;
        pr[a] = simbolo_interpolacao(w, p.engrossamento, f1, f2);
        rl[a] = simbolo_restricao_geral(p, w, f1, f2) * l / simbolo_estencil(grosso, T1, T2);
    }
    matriz4 k{};
    for (int b = 0; b < 4; ++b)
        for (int a = 0; a < 4; ++a) {
            const bool junto = grupo_do_harmonico(p.engrossamento, a) == grupo_do_harmonico(p.engrossamento, b);
            k[b * 4 + a] = (a == b ? 1.0 : 0.0) - (junto ? pr[b] * rl[a] : 0.0);
        }
    return k;
}
