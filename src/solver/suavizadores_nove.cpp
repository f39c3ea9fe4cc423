// Suavizadores pontuais com o operador de nove pontos (os níveis de baixo de Galerkin), constante ou por ponto: os
// laços simples (solver/lacos_ponto.h) ou, com os núcleos rápidos, os de fast/ com os mesmos bits; e as varreduras
// adjuntas.
#include "solver/lacos_ponto.h"

namespace {

namespace lp = lacos_ponto;

// As linhas em voo só com o estêncil constante: as nove grades do estêncil por ponto ficam a um múltiplo de 4 KiB
// (mais 8 bytes) umas das outras, todas nos mesmos conjuntos da L1, e com linhas em voo a varredura ficava mais
// lenta que o laço simples.
bool em_voo(const vista_nivel& v, const meios_suavizacao& m) {
    return m.rapidos && v.forma == forma_operador::nove_constante;
}

} // namespace

nivel_nove nivel_nove_de(const vista_nivel& v, const meios_suavizacao& m) {
    const bool por_ponto = v.forma == forma_operador::nove_variavel;
    return {.u = v.u, .f = v.f, .nove = por_ponto ? nullptr : v.nove, .bloco = por_ponto ? v.pesos : nullptr,
            .nx = v.nx, .ny = v.ny, .omega = m.omega};
}

void suavizar_gs_lex_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (em_voo(v, m)) lexicografica_nove(nivel_nove_de(v, m), n, sentido_varredura::para_frente);
    else if (v.forma == forma_operador::nove_variavel) lp::instancia<lp::laco_gs_lex, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_gs_lex, lp::nove_constante>(v, m, n);
}
void suavizar_gs_sym_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (em_voo(v, m)) {
        for (int s = 0; s < n; ++s) {
            lexicografica_nove(nivel_nove_de(v, m), 1, sentido_varredura::para_frente);
            lexicografica_nove(nivel_nove_de(v, m), 1, sentido_varredura::para_tras);
        }
    } else if (v.forma == forma_operador::nove_variavel) lp::instancia<lp::laco_gs_sym, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_gs_sym, lp::nove_constante>(v, m, n);
}
void suavizar_gs_rb_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) vermelho_preto_nove(nivel_nove_de(v, m), n, *m.eq);
    else if (v.forma == forma_operador::nove_variavel) lp::instancia<lp::laco_gs_rb, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_gs_rb, lp::nove_constante>(v, m, n);
}
void suavizar_jacobi_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) jacobi_nove(nivel_nove_de(v, m), m.rascunho, n, *m.eq);
    else if (v.forma == forma_operador::nove_variavel) lp::instancia<lp::laco_jacobi, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_jacobi, lp::nove_constante>(v, m, n);
}

void suavizar_gs_lex_adjunto_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (em_voo(v, m)) lexicografica_nove(nivel_nove_de(v, m), n, sentido_varredura::para_tras);
    else if (v.forma == forma_operador::nove_variavel) lp::instancia<lp::laco_gs_lex_para_tras, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_gs_lex_para_tras, lp::nove_constante>(v, m, n);
}
void suavizar_gs_rb_adjunto_nove(const vista_nivel& v, const meios_suavizacao& m, int n) {
    if (m.rapidos && m.eq != nullptr) vermelho_preto_nove_adjunto(nivel_nove_de(v, m), n, *m.eq);
    else if (v.forma == forma_operador::nove_variavel)
        lp::instancia<lp::laco_gs_rb_pretos_primeiro, lp::nove_variavel>(v, m, n);
    else lp::instancia<lp::laco_gs_rb_pretos_primeiro, lp::nove_constante>(v, m, n);
}
