// Os valores efetivos de um método numa entrada: contagens, omega, o problema e a comparação com a rodada clássica.
#include <charconv>

#include "state/componentes.h"
#include "state/metodo.h"

std::string texto_numero(double v) {
    char b[64];
    const auto r = std::to_chars(b, b + sizeof b, v);
    return std::string(b, r.ptr);
}

std::string texto_coeficiente(const coeficiente_difusao& c) {
    const std::string C = texto_numero(c.c), M = std::to_string(c.m);
    switch (c.tipo) {
    case tipo_coeficiente::constante: return "constant";
    case tipo_coeficiente::salto: return "jump:" + C;
    case tipo_coeficiente::xadrez: return "checker:" + C + ":" + M;
    case tipo_coeficiente::camadas: return "layers:" + C + ":" + M;
    case tipo_coeficiente::aleatorio: return "random:" + C + ":" + std::to_string(c.semente);
    }
    return {};
}

std::string texto_problema(const definicao_problema& p) {
    switch (p.tipo) {
    case tipo_problema::da_entrada: return "problema";
    case tipo_problema::linear: return "linear";
    case tipo_problema::senoidal: return "sinusoidal";
    case tipo_problema::senos: return "sin:" + std::to_string(p.kx) + ":" + std::to_string(p.ky);
    case tipo_problema::constante: return "constant:" + texto_numero(p.f);
    }
    return {};
}

std::string texto_krylov(const aceleracao_krylov& k) {
    switch (k.tipo) {
    case tipo_krylov::nenhum: return "none";
    case tipo_krylov::cg: return "cg";
    case tipo_krylov::bicgstab: return "bicgstab";
    case tipo_krylov::gmres: return "gmres:" + std::to_string(k.reinicio);
    }
    return {};
}

metodo_efetivo::metodo_efetivo(const metodo_solver& pedido, int nitm, int nm, int problema) {
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
    m.krylov = pedido.krylov;
    // numa malha só não há níveis grossos: os três ficam no padrão (um aviso diz que foram ignorados)
    if (m.multigrid) {
        m.operador_grosso = pedido.operador_grosso;
        m.interpolacao = pedido.interpolacao;
        m.engrossamento = pedido.engrossamento;
        m.ordem = pedido.ordem;
    }
    m.transferencias_padrao = m.operador_grosso == tipo_operador_grosso::rediscretizado &&
                              m.interpolacao == tipo_interpolacao::bilinear &&
                              m.engrossamento == tipo_engrossamento::completo;

    m.eps = pedido.eps;
    m.coeficiente = pedido.coeficiente;
    const tipo_problema da_entrada = problema == 1 ? tipo_problema::linear : tipo_problema::senoidal;
    m.problema = pedido.problema;
    if (m.problema.tipo == tipo_problema::da_entrada) m.problema.tipo = da_entrada;
    m.problema_da_entrada = m.problema.tipo == da_entrada;
    // um campo com C = 1 vale 1 em toda célula: é o operador constante, com os mesmos bits
    m.operador_variavel = m.coeficiente.tipo != tipo_coeficiente::constante && m.coeficiente.c != 1.0;
    m.fonte = m.problema.tipo == tipo_problema::senos || m.problema.tipo == tipo_problema::constante;
    m.solucao_exata = !m.operador_variavel && m.problema.tipo != tipo_problema::constante;

    const bool pontual = m.suavizador == tipo_suavizador::gs_lex && m.omega == 1.0
                         && m.inicio == tipo_inicio::conforme_tipo_ci && m.eps == 1.0
                         && m.coeficiente.tipo == tipo_coeficiente::constante && m.problema_da_entrada;
    m.classico = pontual && m.krylov.tipo == tipo_krylov::nenhum && (!m.multigrid || (m.ciclo == tipo_ciclo::V && !m.fmg && m.pre == nitm && m.pos == nitm &&
                                              m.grosso == nitm && !m.grosso_exato &&
                                              m.restricao == tipo_restricao::injecao && m.transferencias_padrao &&
                                              m.ordem == ordem_pos::mesma));
}
