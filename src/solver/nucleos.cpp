// O núcleo de cada componente: a única ligação entre as linhas de state/componentes.cpp e as funções que as
// executam (um caso por linha; o compilador avisa do que faltar).
#include "solver/solver.h"

suavizador nucleo(tipo_suavizador s) {
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

restricao nucleo(tipo_restricao r) {
    switch (r) {
    case tipo_restricao::injecao: return restringir_injecao;
    case tipo_restricao::meia: return restringir_meia;
    case tipo_restricao::completa: return restringir_completa;
    }
    return restringir_injecao;
}
