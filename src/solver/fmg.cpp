// Início por multigrid completo: cada nível resolve o seu próprio problema de Laplace (os seus valores de
// Dirichlet, lado direito 0), partindo da interpolação bilinear do resultado do nível abaixo, com um ciclo.
#include <algorithm>

#include "solver/cronometro.h"
#include "solver/solver.h"

namespace {

// O campo do nível corrente (T no mais fino; senão cor, com res = 0) todo zerado.
void zerar_campo(estado_execucao& e) {
    const vista_nivel v = nivel_corrente(e);
    std::fill(v.u + 1, v.u + 1 + e.nxyk, 0.0);
    if (e.k < e.nm) std::fill(e.res.begin() + 1 + e.ofsk, e.res.begin() + 1 + e.ofsk + e.nxyk, 0.0);
}

} // namespace

void inicio_fmg(estado_execucao& e, plano_solver& p) {
    selecionar_nivel(e, 1);
    coeficientes(e);
    zerar_campo(e);
    contornos_em(e, nivel_corrente(e).u);
    tratar_nivel_grosso(e, p);
    for (int k = 2; k <= e.nm; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        zerar_campo(e);
        {
            const cronometro_fase c(p.tempos, k, fase_tempo::prolongacao);
            if (k == e.nm) prolongar_em_T(e); // soma a interpolação do campo de k-1, contorno dele incluído
            else prolongar_correcao(e);
        }
        contornos_em(e, nivel_corrente(e).u);
        ciclo(e, p, k, p.ciclo);
    }
}
