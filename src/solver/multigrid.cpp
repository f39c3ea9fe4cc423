#include "platform/plataforma.h"
#include "solver/solver.h"

namespace {

// Ciclo V com os núcleos de referência, um por linha, na ordem do algoritmo.
void ciclo_v_referencia(estado_execucao& e) {
    for (double& v : e.cor) v = 0.0;
    for (int k = e.nm; k >= 1; --k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        if (k == e.nm) {
            gauss_seidel(e);
            restringir_residuo(e);
        } else {
            suavizar_correcao(e);
            if (k > 1) restringir_residuo(e);
        }
    }
    for (int k = 2; k <= e.nm; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        if (k < e.nm) {
            prolongar_correcao(e);
            suavizar_correcao(e);
        } else {
            prolongar_em_T(e);
            gauss_seidel(e);
            norma_l1(e);
        }
    }
}

// O mesmo ciclo com os núcleos rápidos: cada nível numa só passada (mesmos bits).
void ciclo_v_rapido(estado_execucao& e) {
    for (double& v : e.cor) v = 0.0;
    for (int k = e.nm; k >= 1; --k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        passada_rapida(e, false, k > 1, false); // suavização, depois restrição para k-1
    }
    for (int k = 2; k <= e.nm; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        passada_rapida(e, true, false, k == e.nm); // prolongação, suavização e, no mais fino, a norma
    }
}

} // namespace

void ciclo_v(estado_execucao& e) {
    if (e.ajustes.rapidos) ciclo_v_rapido(e);
    else ciclo_v_referencia(e);
}

void resolver_multigrid(estado_execucao& e) {
    const double t0 = tempo_processador();
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    selecionar_nivel(e, e.nm);
    preparar_campo_inicial(e);
    iteracoes_externas(e, ciclo_v);
    e.tcpu = tempo_processador() - t0;
}
