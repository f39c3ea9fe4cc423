// O plano de uma solução: componentes escolhidos uma vez, rascunho criado uma vez, nível 1 fatorado uma vez.
#include <new>
#include <string>

#include "state/erro_fatal.h"
#include "solver/cronometro.h"
#include "solver/solver.h"

namespace {

// Na ordem de tipo_suavizador e de tipo_restricao.
constexpr suavizador suavizadores[] = {suavizar_gs_lex, suavizar_gs_rb,     suavizar_jacobi,   suavizar_gs_sym,
                                       suavizar_linha_x, suavizar_linha_y, suavizar_linha_alt};
constexpr restricao restricoes[] = {restringir_injecao, restringir_meia, restringir_completa};

void criar(std::vector<double>& v, long n, const char* nome) {
    try {
        v.assign(static_cast<std::size_t>(n), 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the " + std::string(nome) + " scratch ("
                         + std::to_string(n * 8L) + " bytes)");
    }
}

} // namespace

rascunho_metodo rascunho_necessario(const estado_execucao& e, const metodo_solver& metodo) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    rascunho_metodo r;
    switch (metodo.suavizador) {
    case tipo_suavizador::jacobi: r.suavizador = static_cast<long>(e.nxyg[e.nm]) + 1; break;
    case tipo_suavizador::linha_x:
    case tipo_suavizador::linha_y:
    case tipo_suavizador::linha_alt: r.suavizador = rascunho_linhas(nx, ny); break;
    default: break;
    }
    if (e.nm >= 2 && metodo.restricao != tipo_restricao::injecao) r.restricao = 3L * (nx + 1);
    return r;
}

void planejar_solver(plano_solver& p, estado_execucao& e, const metodo_solver& metodo, const ajustes_solver& ajustes,
                     equipe& eq) {
    const metodo_solver m = metodo_efetivo(metodo, e.nitm);
    const bool multigrid = e.nm >= 2;
    p.ciclo = m.ciclo;
    p.fmg = multigrid && m.fmg;
    p.pre = m.pre;
    p.pos = m.pos;
    p.grosso = m.grosso;
    p.grosso_exato = multigrid && m.grosso_exato;
    p.rapido = ajustes.rapidos && m.suavizador == tipo_suavizador::gs_lex && m.omega == 1.0
               && (!multigrid || m.restricao == tipo_restricao::injecao);
    p.suavizar = suavizadores[static_cast<int>(m.suavizador)];
    p.restringir = restricoes[static_cast<int>(m.restricao)];
    p.eq = &eq;
    const rascunho_metodo r = rascunho_necessario(e, m);
    criar(p.rascunho_suavizador, r.suavizador, "smoother");
    criar(p.rascunho_restricao, r.restricao, "restriction");
    p.meios.omega = m.omega;
    p.meios.eq = &eq;
    p.meios.rascunho = p.rascunho_suavizador.data();
    p.tempos = ajustes.tempos;
    if (p.tempos) preparar_tempos(*p.tempos, e.nm);
    if (p.grosso_exato) {
        selecionar_nivel(e, 1);
        coeficientes(e);
        fatorar_nivel_grosso(p.fator, e.nxk, e.nyk, e.ae, e.an, e.ap);
    }
}
