// Quais ciclos um método de Krylov aceita como precondicionador (doc/metodo.md, 13.6): o cg pede um B simétrico
// (a pós-suavização adjunta da pré, gs-lex e gs-rb com --post-order adjoint, o nível 1 resolvido ou alisado por um
// número par de varreduras, a restrição múltipla da transposta da interpolação); nenhum parte do FMG.
#include "solver/solver.h"
#include "state/componentes.h"

std::string recusa_krylov(const metodo_efetivo& m) {
    if (m.krylov.tipo == tipo_krylov::nenhum) return {};
    const std::string nome = "--krylov " + texto_krylov(m.krylov);
    if (m.fmg) return nome + " starts from the run's initial field and applies the cycle to a zero start: --fmg "
                             "does not apply (drop it)";
    if (m.krylov.tipo != tipo_krylov::cg) return {};
    const std::string motivo = nome + " needs a symmetric preconditioner: ";
    const bool proprio_adjunto = m.suavizador == tipo_suavizador::jacobi || m.suavizador == tipo_suavizador::gs_sym;
    const bool com_adjunta = m.suavizador == tipo_suavizador::gs_lex || m.suavizador == tipo_suavizador::gs_rb;
    const std::string suavizador = "--smoother " + std::string(componente(m.suavizador).nome);
    if (!proprio_adjunto && !m.multigrid)
        return motivo + "on a single grid (nm = 1) the preconditioner is nitm sweeps of " + suavizador +
               ", which is not symmetric (use --smoother jacobi or gs-sym, or --krylov bicgstab or gmres)";
    if (!proprio_adjunto && !com_adjunta)
        return motivo + suavizador + " sweeps its lines in the same order before and after the coarse-grid "
               "correction, so the post-smoothing is not the adjoint of the pre-smoothing (use --smoother jacobi, "
               "gs-sym, or gs-lex or gs-rb with --post-order adjoint, or --krylov bicgstab or gmres)";
    if (!proprio_adjunto && m.ordem != ordem_pos::adjunta)
        return motivo + suavizador + " sweeps in the same order before and after the coarse-grid correction, so "
               "the post-smoothing is not the adjoint of the pre-smoothing (add --post-order adjoint, or use "
               "--smoother jacobi or gs-sym, or --krylov bicgstab or gmres)";
    if (!m.multigrid) return {};
    // o nível 1 alisado: com a ordem adjunta as varreduras se dividem ao meio, ida e volta; uma contagem ímpar não
    if (!proprio_adjunto && !m.grosso_exato && m.grosso % 2 != 0)
        return motivo + "level 1 is smoothed by an odd count of sweeps (--coarsest " + std::to_string(m.grosso) +
               ") of " + suavizador + ", which cannot be split into sweeps and their adjoints (give --coarsest an "
               "even count, or --coarsest solve)";
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
