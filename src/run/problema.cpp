// O problema pedido conferido contra a entrada lida, antes de qualquer arquivo: faixas do coeficiente que cabem nas
// células do nível mais fino, a solução manufaturada só com coeficiente constante, tipo_ci = 1 só com solução
// exata e um operador sem estouro; e as combinações de componentes que não existem (a meia ponderação numa direção).
#include <cmath>

#include "run/execucao.h"
#include "solver/solver.h"
#include "state/componentes.h"
#include "state/erro_fatal.h"

namespace {

std::string conflito_de_opcoes(const metodo_solver& m) {
    if (m.ordem == ordem_pos::adjunta && componente(m.suavizador).rascunho == rascunho_suavizador::linhas)
        return "--post-order adjoint is built for the point smoothers only (gs-lex, gs-rb, jacobi, gs-sym): the line "
               "smoother " + std::string(componente(m.suavizador).nome) + " sweeps its lines in one order (use "
               "--post-order same)";
    if (m.engrossamento != tipo_engrossamento::completo && m.restricao == tipo_restricao::meia)
        return "--restriction half has no one-direction form: with --coarsening " +
               std::string(componente(m.engrossamento).nome) + " use injection, full or transpose";
    const bool variavel = m.coeficiente.tipo != tipo_coeficiente::constante && m.coeficiente.c != 1.0;
    if (m.problema.tipo != tipo_problema::senos || !variavel) return {};
    return "--problem " + texto_problema(m.problema) + " needs a constant coefficient: its source is derived for "
           "eps*u_xx + u_yy, and with --coefficient " + texto_coeficiente(m.coeficiente) +
           " the exact solution is not known (use linear, sinusoidal or constant:F)";
}

} // namespace

std::string conferir_opcoes_do_problema(const metodo_solver& m) { return conflito_de_opcoes(m); }

std::vector<std::string> avisos_do_problema(const estado_execucao& e, const metodo_efetivo& m) {
    std::vector<std::string> avisos;
    if (m.problema.tipo != tipo_problema::senos) return avisos;
    // sin(K pi x) nos pontos de uma grade de n-1 intervalos: com K >= n-1 a onda não cabe (some ou vira outra)
    const int ix = e.nxg[e.nm] - 1, iy = e.nyg[e.nm] - 1;
    if (m.problema.kx >= ix || m.problema.ky >= iy)
        avisos.push_back("--problem " + texto_problema(m.problema) + ": the finest grid has " + std::to_string(ix) +
                         " x " + std::to_string(iy) + " intervals, too few for this wave (it needs more intervals "
                         "than KX and KY): its points see another wave or none");
    return avisos;
}

void conferir_niveis(const estado_execucao& entrada, const metodo_efetivo& m) {
    if (!m.multigrid || m.transferencias_padrao) return;
    estado_execucao e;
    e.nm = entrada.nm;
    e.nxg = entrada.nxg;
    e.nyg = entrada.nyg;
    e.nxyg = entrada.nxyg;
    derivar_niveis_grossos(e, m.engrossamento);
    for (int k = 1; k <= e.nm; ++k)
        if (e.nxg[k] <= 2 || e.nyg[k] <= 2)
            throw erro_fatal("level " + std::to_string(k) + " has no interior points (" + std::to_string(e.nxg[k]) +
                             " x " + std::to_string(e.nyg[k]) + "): --coarse-operator galerkin, --interpolation "
                             "operator and --coarsening x|y need interior points on every level (give nxg(1) and "
                             "nyg(1) of at least 3)");
}

void conferir_problema(const estado_execucao& e, const metodo_efetivo& m, const std::string& arquivo) {
    conferir_niveis(e, m);
    metodo_solver pedido;
    pedido.coeficiente = m.coeficiente;
    pedido.problema = m.problema;
    if (const std::string c = conflito_de_opcoes(pedido); !c.empty()) throw erro_fatal(c);
    if (const std::string c = recusa_krylov(m); !c.empty()) throw erro_fatal(c);
    const int celulas_x = e.nxg[e.nm] - 1, celulas_y = e.nyg[e.nm] - 1;
    const coeficiente_difusao& c = m.coeficiente;
    const std::string nome = "--coefficient " + texto_coeficiente(c);
    if (c.tipo == tipo_coeficiente::xadrez && (c.m > celulas_x || c.m > celulas_y))
        throw erro_fatal(nome + ": M = " + std::to_string(c.m) + " is more than the cells of the finest grid (" +
                         std::to_string(celulas_x) + " x " + std::to_string(celulas_y) + ", from nxg(nm) = " +
                         std::to_string(e.nxg[e.nm]) + " and nyg(nm) = " + std::to_string(e.nyg[e.nm]) + " points)");
    if (c.tipo == tipo_coeficiente::camadas && c.m > celulas_y)
        throw erro_fatal(nome + ": M = " + std::to_string(c.m) + " is more than the " + std::to_string(celulas_y) +
                         " rows of cells of the finest grid (nyg(nm) = " + std::to_string(e.nyg[e.nm]) + " points)");
    if (e.tipo_ci == 1 && !m.solucao_exata)
        throw erro_fatal(arquivo + ": tipo_ci = 1 starts from the exact solution, but " +
                         (m.operador_variavel ? std::string("with ") + nome + " no problem has one"
                                              : "the problem " + texto_problema(m.problema) + " has none") +
                         " (give tipo_ci 0, for instance with --set tipo_ci=0)");
    // o operador do nível mais fino é o de maiores coeficientes; com kappa, até C vezes maior
    const double dx = 1.0 / static_cast<double>(e.nxg[e.nm] - 1), dy = 1.0 / static_cast<double>(e.nyg[e.nm] - 1);
    const operador_nivel o = operador_constante(dx, dy, m.eps);
    const double escala = m.operador_variavel ? std::fmax(c.c, 1.0 / c.c) : 1.0;
    if (!std::isfinite(o.ap * escala) || !(o.ae > 0.0))
        throw erro_fatal("--eps " + texto_numero(m.eps) + " makes the operator of the finest grid (" +
                         std::to_string(e.nxg[e.nm]) + " x " + std::to_string(e.nyg[e.nm]) + " points) " +
                         (o.ae > 0.0 ? "overflow" : "vanish in X") + ": ae = " + texto_numero(o.ae) + ", an = " +
                         texto_numero(o.an));
}
