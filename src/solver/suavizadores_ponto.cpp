// Suavizadores pontuais com os operadores de cinco pontos, constante e variável: os laços simples
// (solver/lacos_ponto.h) ou, com os núcleos rápidos, os de fast/ com os mesmos bits; e as varreduras adjuntas.
#include "solver/lacos_ponto.h"

namespace {

namespace lp = lacos_ponto;

// Só as varreduras, na passada rápida (com as threads e as instruções da equipe).
void varreduras_rapidas(const vista_nivel& v, const meios_suavizacao& m, int varreduras, suavizador_passada s) {
    if (varreduras <= 0) return;
    const nivel_passada x{.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap};
    passada_rapida(x, {.varreduras = varreduras, .suavizador = s, .omega = m.omega}, *m.eq);
}

// gs-sym com omega 1 e o operador constante: a ida na passada rápida (com as threads e as instruções da equipe), a
// volta em varredura_para_tras; cada ponto com os operandos e as contas de lexicografica.
void gs_sym_rapido(const vista_nivel& v, const meios_suavizacao& m, int varreduras) {
    const nivel_passada x{.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap};
    for (int s = 0; s < varreduras; ++s) {
        passada_rapida(x, {.varreduras = 1}, *m.eq);
        varredura_para_tras(x);
    }
}

// Com omega 1 e o operador constante a volta é a do gs-sym rápido (varredura_para_tras): os mesmos bits.
void gs_lex_para_tras_rapido(const vista_nivel& v, int varreduras) {
    const nivel_passada x{.u = v.u, .f = v.f, .nx = v.nx, .ny = v.ny, .ae = v.ae, .an = v.an, .ap = v.ap};
    for (int s = 0; s < varreduras; ++s) varredura_para_tras(x);
}

nivel_variavel nivel_variavel_de(const vista_nivel& v, const meios_suavizacao& m) {
    const estencil_variavel c = estencil_de(v.pesos, static_cast<long>(v.nx) * v.ny);
    return {.u = v.u, .f = v.f, .ax = c.x, .ay = c.y, .ap = c.p, .nx = v.nx, .ny = v.ny, .omega = m.omega};
}

} // namespace

// Com os núcleos rápidos, as varreduras do operador constante na passada rápida, sem transferências (nos ciclos que
// ela não faz inteiros: semiengrossamento, Galerkin nos níveis de baixo, ordem adjunta, a ida do gs-sym), com os
// mesmos bits.
void suavizar_gs_lex(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr && m.omega == 1.0) varreduras_rapidas(v, m, n, suavizador_passada::gs_lex);
    else lp::instancia<lp::laco_gs_lex, lp::constante>(v, m, n);
}
void suavizar_gs_sym(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.omega == 1.0 && m.eq != nullptr) gs_sym_rapido(v, m, n);
    else lp::instancia<lp::laco_gs_sym, lp::constante>(v, m, n);
}
void suavizar_gs_rb(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) varreduras_rapidas(v, m, n, suavizador_passada::gs_rb);
    else lp::instancia<lp::laco_gs_rb, lp::constante>(v, m, n);
}
void suavizar_jacobi(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) varreduras_rapidas(v, m, n, suavizador_passada::jacobi);
    else lp::instancia<lp::laco_jacobi, lp::constante>(v, m, n);
}

// Com os núcleos rápidos, os mesmos laços com linhas em voo (fast/lexicografica_em_voo.cpp) e em vetores
// (fast/variaveis.cpp), com os mesmos bits.
void suavizar_gs_lex_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos) lexicografica_variavel(nivel_variavel_de(v, m), n, sentido_varredura::para_frente);
    else lp::instancia<lp::laco_gs_lex, lp::variavel>(v, m, n);
}
void suavizar_gs_sym_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (!m.rapidos) return lp::instancia<lp::laco_gs_sym, lp::variavel>(v, m, n);
    for (int s = 0; s < n; ++s) {
        lexicografica_variavel(nivel_variavel_de(v, m), 1, sentido_varredura::para_frente);
        lexicografica_variavel(nivel_variavel_de(v, m), 1, sentido_varredura::para_tras);
    }
}
void suavizar_gs_rb_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) vermelho_preto_variavel(nivel_variavel_de(v, m), n, *m.eq);
    else lp::instancia<lp::laco_gs_rb, lp::variavel>(v, m, n);
}
void suavizar_jacobi_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) jacobi_variavel(nivel_variavel_de(v, m), m.rascunho, n, *m.eq);
    else lp::instancia<lp::laco_jacobi, lp::variavel>(v, m, n);
}

void suavizar_gs_lex_adjunto(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.omega == 1.0) gs_lex_para_tras_rapido(v, n);
    else lp::instancia<lp::laco_gs_lex_para_tras, lp::constante>(v, m, n);
}
void suavizar_gs_rb_adjunto(const vista_nivel& v, const meios_suavizacao& m, int n) {
    lp::instancia<lp::laco_gs_rb_pretos_primeiro, lp::constante>(v, m, n);
}
void suavizar_gs_lex_adjunto_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos) lexicografica_variavel(nivel_variavel_de(v, m), n, sentido_varredura::para_tras);
    else lp::instancia<lp::laco_gs_lex_para_tras, lp::variavel>(v, m, n);
}
void suavizar_gs_rb_adjunto_variavel(const vista_nivel& v, const meios_suavizacao& m, int n) {
    lp::instancia<lp::laco_gs_rb_pretos_primeiro, lp::variavel>(v, m, n);
}
