// O núcleo de cada componente e forma de operador: a única ligação entre as linhas de state/componentes.cpp e as
// funções que as executam (um caso por linha e forma; o compilador avisa do que faltar). As interpolações:
// solver/interpolacao.cpp.
#include "solver/solver.h"

namespace {

suavizador constante(tipo_suavizador s) {
    switch (s) {
    case tipo_suavizador::gs_lex: return suavizar_gs_lex;
    case tipo_suavizador::gs_rb: return suavizar_gs_rb;
    case tipo_suavizador::jacobi: return suavizar_jacobi;
    case tipo_suavizador::gs_sym: return suavizar_gs_sym;
    case tipo_suavizador::linha_x: return suavizar_linha_x;
    case tipo_suavizador::linha_y: return suavizar_linha_y;
    case tipo_suavizador::linha_alt: return suavizar_linha_alt;
    }
    return suavizar_gs_lex;
}

suavizador variavel(tipo_suavizador s) {
    switch (s) {
    case tipo_suavizador::gs_lex: return suavizar_gs_lex_variavel;
    case tipo_suavizador::gs_rb: return suavizar_gs_rb_variavel;
    case tipo_suavizador::jacobi: return suavizar_jacobi_variavel;
    case tipo_suavizador::gs_sym: return suavizar_gs_sym_variavel;
    case tipo_suavizador::linha_x: return suavizar_linha_x_variavel;
    case tipo_suavizador::linha_y: return suavizar_linha_y_variavel;
    case tipo_suavizador::linha_alt: return suavizar_linha_alt_variavel;
    }
    return suavizar_gs_lex_variavel;
}

suavizador suavizador_nove(tipo_suavizador s) {
    switch (s) {
    case tipo_suavizador::gs_lex: return suavizar_gs_lex_nove;
    case tipo_suavizador::gs_rb: return suavizar_gs_rb_nove;
    case tipo_suavizador::jacobi: return suavizar_jacobi_nove;
    case tipo_suavizador::gs_sym: return suavizar_gs_sym_nove;
    case tipo_suavizador::linha_x: return suavizar_linha_x_nove;
    case tipo_suavizador::linha_y: return suavizar_linha_y_nove;
    case tipo_suavizador::linha_alt: return suavizar_linha_alt_nove;
    }
    return suavizar_gs_lex_nove;
}

} // namespace

suavizador nucleo(tipo_suavizador s, forma_operador f) {
    switch (f) {
    case forma_operador::cinco_constante: return constante(s);
    case forma_operador::cinco_variavel: return variavel(s);
    case forma_operador::nove_constante:
    case forma_operador::nove_variavel: return suavizador_nove(s);
    }
    return constante(s);
}

suavizador nucleo(tipo_suavizador s, forma_operador f, ordem_pos o) {
    // jacobi, gs-sym e as linhas (que recusam a ordem adjunta) ficam como são
    if (o == ordem_pos::mesma || (s != tipo_suavizador::gs_lex && s != tipo_suavizador::gs_rb)) return nucleo(s, f);
    const bool lex = s == tipo_suavizador::gs_lex;
    switch (f) {
    case forma_operador::cinco_constante: return lex ? suavizar_gs_lex_adjunto : suavizar_gs_rb_adjunto;
    case forma_operador::cinco_variavel: return lex ? suavizar_gs_lex_adjunto_variavel : suavizar_gs_rb_adjunto_variavel;
    case forma_operador::nove_constante:
    case forma_operador::nove_variavel: return lex ? suavizar_gs_lex_adjunto_nove : suavizar_gs_rb_adjunto_nove;
    }
    return nucleo(s, f);
}

restricao nucleo(tipo_restricao r, forma_operador f, tipo_engrossamento g, forma_interpolacao i) {
    if (g == tipo_engrossamento::completo && r != tipo_restricao::transposta) {
        const bool v = f == forma_operador::cinco_variavel;
        if (nove_pontos(f)) return restricao_plena(r, f);
        switch (r) {
        case tipo_restricao::injecao: return v ? restringir_injecao_variavel : restringir_injecao;
        case tipo_restricao::meia: return v ? restringir_meia_variavel : restringir_meia;
        case tipo_restricao::completa: return v ? restringir_completa_variavel : restringir_completa;
        case tipo_restricao::transposta: break;
        }
    }
    return restricao_geral(r, f, g, i);
}
