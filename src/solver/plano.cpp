// O plano de uma solução: componentes escolhidos uma vez, rascunho criado uma vez, nível 1 fatorado uma vez.
#include <new>
#include <string>

#include "state/erro_fatal.h"
#include "solver/cronometro.h"
#include "solver/solver.h"
#include "state/componentes.h"

namespace {

void criar(std::vector<double>& v, long n, const char* nome) {
    try {
        v.assign(static_cast<std::size_t>(n), 0.0);
    } catch (const std::bad_alloc&) {
        throw erro_fatal("out of memory allocating the " + std::string(nome) + " scratch ("
                         + std::to_string(n * 8L) + " bytes)");
    }
}

} // namespace

rascunho_metodo rascunho_necessario(const estado_execucao& e, const metodo_efetivo& metodo) {
    const int nx = e.nxg[e.nm], ny = e.nyg[e.nm];
    rascunho_metodo r;
    switch (componente(metodo.suavizador).rascunho) {
    case rascunho_suavizador::nivel: r.suavizador = static_cast<long>(e.nxyg[e.nm]) + 1; break;
    case rascunho_suavizador::linhas: r.suavizador = rascunho_linhas(nx, ny); break;
    case rascunho_suavizador::nenhum: break;
    }
    if (e.nm >= 2 && componente(metodo.restricao).linhas_de_residuo) r.restricao = 3L * (nx + 1);
    return r;
}

void planejar_solver(plano_solver& p, estado_execucao& e, const metodo_efetivo& m, const ajustes_solver& ajustes,
                     equipe& eq) {
    p.tempos = ajustes.tempos;
    if (p.tempos) preparar_tempos(*p.tempos, e.nm);
    // o operador de cada nível e a fonte, uma vez por solução; os núcleos de cada nível pela forma do seu operador
    montar_operadores(e, m, p.tempos);
    montar_fonte(e, m);
    p.problema = m.problema;
    p.nucleos.assign(static_cast<std::size_t>(e.nm) + 1, nucleos_nivel{});
    bool constante = true, cinco_variavel = false, cinco_constante = false;
    for (int k = 1; k <= e.nm; ++k) {
        const operador_nivel& o = e.operadores[static_cast<std::size_t>(k)];
        nucleos_nivel& n = p.nucleos[static_cast<std::size_t>(k)];
        n.suavizar = nucleo(m.suavizador, o.forma);
        n.pos_suavizar = nucleo(m.suavizador, o.forma, m.ordem);
        if (k >= 2) {
            n.restringir = nucleo(m.restricao, o.forma, m.engrossamento, o.interpolacao.forma);
            n.prolongar = nucleo(o.interpolacao.forma, m.engrossamento);
        }
        constante = constante && o.forma == forma_operador::cinco_constante;
        cinco_variavel = cinco_variavel || o.forma == forma_operador::cinco_variavel;
        cinco_constante = cinco_constante || o.forma == forma_operador::cinco_constante;
    }
    p.ciclo = m.ciclo;
    p.fmg = m.fmg;
    p.pre = m.pre;
    p.pos = m.pos;
    p.grosso = m.grosso;
    p.grosso_exato = m.grosso_exato;
    p.ordem = m.ordem;
    // a passada rápida varre para a frente também na subida: com a ordem adjunta, os núcleos de cada perna
    const componente_suavizador& suavizador = componente(m.suavizador);
    p.rapido = ajustes.rapidos && suavizador.rapido && (m.omega == 1.0 || suavizador.rapido_com_omega) && constante &&
               m.ordem == ordem_pos::mesma
               && (!m.multigrid || (componente(m.restricao).rapida && componente(m.interpolacao).rapida &&
                                    m.engrossamento == tipo_engrossamento::completo));
    switch (m.restricao) {
    case tipo_restricao::meia: p.restricao_rapida = restricao_passada::meia; break;
    case tipo_restricao::completa: p.restricao_rapida = restricao_passada::completa; break;
    case tipo_restricao::injecao:
    case tipo_restricao::transposta: p.restricao_rapida = restricao_passada::injecao; break;
    }
    switch (m.suavizador) {
    case tipo_suavizador::gs_rb: p.suavizador_rapido = suavizador_passada::gs_rb; break;
    case tipo_suavizador::jacobi: p.suavizador_rapido = suavizador_passada::jacobi; break;
    default: p.suavizador_rapido = suavizador_passada::gs_lex; break;
    }
    p.eq = &eq;
    const rascunho_metodo r = rascunho_necessario(e, m);
    criar(p.rascunho_suavizador, r.suavizador, "smoother");
    criar(p.rascunho_restricao, r.restricao, "restriction");
    p.meios.omega = m.omega;
    p.meios.eq = &eq;
    p.meios.rascunho = p.rascunho_suavizador.data();
    p.meios.rapidos = ajustes.rapidos;
    p.ida_rapida = ajustes.rapidos && m.suavizador == tipo_suavizador::gs_sym && m.omega == 1.0 && constante;
    p.variaveis_rapidos = ajustes.rapidos && cinco_variavel &&
                          (m.suavizador == tipo_suavizador::gs_rb || m.suavizador == tipo_suavizador::jacobi);
    p.varreduras_rapidas = ajustes.rapidos && !p.rapido && cinco_constante &&
                           ((m.suavizador == tipo_suavizador::gs_lex && m.omega == 1.0) ||
                            m.suavizador == tipo_suavizador::gs_rb || m.suavizador == tipo_suavizador::jacobi);
    p.lexicograficas_variaveis = ajustes.rapidos && cinco_variavel &&
                                 (m.suavizador == tipo_suavizador::gs_lex || m.suavizador == tipo_suavizador::gs_sym);
    p.linhas_rapidas = ajustes.rapidos &&
                       ((constante && (m.suavizador == tipo_suavizador::linha_x ||
                                       m.suavizador == tipo_suavizador::linha_y ||
                                       m.suavizador == tipo_suavizador::linha_alt)) ||
                        (cinco_variavel &&
                         (m.suavizador == tipo_suavizador::linha_x || m.suavizador == tipo_suavizador::linha_y ||
                          m.suavizador == tipo_suavizador::linha_alt)));
    if (p.grosso_exato) {
        selecionar_nivel(e, 1);
        coeficientes(e);
        fatorar_nivel_grosso(p.fator, nivel_corrente(e), ajustes.ao_fatorar);
    }
}

std::string instrucoes_da_solucao(const plano_solver& p, const equipe& eq) {
    if (p.ida_rapida) return std::string(nome_do_conjunto(eq.instrucoes())) + "/off";
    if (p.linhas_rapidas || p.lexicograficas_variaveis) return "scalar/off";
    if (p.variaveis_rapidos || (p.varreduras_rapidas && p.suavizador_rapido != suavizador_passada::gs_lex))
        return std::string("off/") + nome_do_conjunto(eq.instrucoes_pontuais());
    if (p.varreduras_rapidas) return std::string(nome_do_conjunto(eq.instrucoes())) + "/off";
    if (!p.rapido) return "off";
    return std::string(nome_do_conjunto(eq.instrucoes())) + "/" + nome_do_conjunto(eq.instrucoes_pontuais());
}
