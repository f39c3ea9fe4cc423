// Os valores efetivos de um método numa entrada: contagens, omega e a comparação com a rodada clássica.
#include "state/componentes.h"
#include "state/metodo.h"

metodo_efetivo::metodo_efetivo(const metodo_solver& pedido, int nitm, int nm) {
    const componente_suavizador& s = componente(pedido.suavizador);
    metodo_efetivo& m = *this;
    m.multigrid = nm >= 2;
    m.ciclo = pedido.ciclo;
    m.fmg = m.multigrid && pedido.fmg;
    m.pre = pedido.pre == conforme_nitm ? nitm : pedido.pre;
    m.pos = pedido.pos == conforme_nitm ? nitm : pedido.pos;
    m.grosso = pedido.grosso == conforme_nitm ? nitm : pedido.grosso;
    m.grosso_exato = m.multigrid && pedido.grosso_exato;
    m.suavizador = pedido.suavizador;
    m.omega = !s.aceita_omega ? 1.0 : pedido.omega == 0.0 ? s.omega_padrao : pedido.omega;
    m.restricao = pedido.restricao;
    m.inicio = pedido.inicio;
    m.semente = pedido.semente;
    const bool pontual = m.suavizador == tipo_suavizador::gs_lex && m.omega == 1.0
                         && m.inicio == tipo_inicio::conforme_tipo_ci;
    m.classico = pontual && (!m.multigrid || (m.ciclo == tipo_ciclo::V && !m.fmg && m.pre == nitm && m.pos == nitm &&
                                              m.grosso == nitm && !m.grosso_exato &&
                                              m.restricao == tipo_restricao::injecao));
}
