// Quais ciclos um método de Krylov aceita como precondicionador (doc/metodo.md, 13.5): o cg pede um B simétrico
// (a pós-suavização adjunta da pré, a restrição múltipla da transposta da interpolação); nenhum parte do FMG.
#include "solver/solver.h"
#include "state/componentes.h"

std::string recusa_krylov(const metodo_efetivo& m) {
    if (m.krylov.tipo == tipo_krylov::nenhum) return {};
    const std::string nome = "--krylov " + texto_krylov(m.krylov);
    if (m.fmg) return nome + " starts from the run's initial field and applies the cycle to a zero start: --fmg "
                             "does not apply (drop it)";
    if (m.krylov.tipo != tipo_krylov::cg) return {};
    const std::string motivo = nome + " needs a symmetric preconditioner: ";
    if (m.suavizador != tipo_suavizador::jacobi && m.suavizador != tipo_suavizador::gs_sym)
        return motivo + "--smoother " + componente(m.suavizador).nome +
               " sweeps in the same order before and after the coarse-grid correction, so the post-smoothing is "
               "not the adjoint of the pre-smoothing (use --smoother jacobi or gs-sym, or --krylov bicgstab or "
               "gmres)";
    if (!m.multigrid) return {};
    if (m.pre != m.pos)
        return motivo + "the counts differ (pre " + std::to_string(m.pre) + ", post " + std::to_string(m.pos) +
               "): give --pre and --post the same value";
    if (m.ciclo == tipo_ciclo::F)
        return motivo + "the F-cycle visits the coarser levels with an F-cycle and then a V-cycle, not a symmetric "
                        "sequence (use --cycle V or W)";
    const bool par = m.restricao == tipo_restricao::transposta ||
                     (m.restricao == tipo_restricao::completa && m.interpolacao == tipo_interpolacao::bilinear);
    if (!par)
        return motivo + "--restriction " + componente(m.restricao).nome + " with --interpolation " +
               componente(m.interpolacao).nome + " is not a multiple of the interpolation's transpose (use "
               "--restriction transpose" + (m.interpolacao == tipo_interpolacao::bilinear ? " or full)" : ")");
    return {};
}
