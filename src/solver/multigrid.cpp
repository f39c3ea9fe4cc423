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

// O mesmo ciclo com os núcleos rápidos: cada nível numa só passada (mesmos bits). A correção de um nível grosso
// não é zerada à parte: a primeira passada por ele a escreve sem a ler (zerar).
void ciclo_v_rapido(estado_execucao& e, equipe& eq) {
    for (int k = e.nm; k >= 1; --k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        // suavização, depois restrição para k-1
        passada_rapida(e, {.varreduras = e.nitm, .restringir = k > 1, .zerar = k < e.nm}, eq);
    }
    for (int k = 2; k <= e.nm; ++k) {
        selecionar_nivel(e, k);
        coeficientes(e);
        // prolongação, suavização e, no mais fino, a norma
        passada_rapida(e, {.varreduras = e.nitm, .prolongar = true, .norma = k == e.nm}, eq);
    }
}

} // namespace

void ciclo_v(estado_execucao& e, const ajustes_solver& ajustes, equipe& eq) {
    if (ajustes.rapidos) ciclo_v_rapido(e, eq);
    else ciclo_v_referencia(e);
}

void resolver_multigrid(estado_execucao& e, const metodo_solver& metodo, const ajustes_solver& ajustes,
                        const aviso_iteracao& aviso) {
    (void)metodo;
    const double t0 = tempo_processador();
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    selecionar_nivel(e, e.nm);
    if (ajustes.rapidos) campo_inicial_rapido(e);
    else preparar_campo_inicial(e);
    equipe eq(ajustes);
    e.threads = eq.tamanho();
    iteracoes_externas(e, [&] { ciclo_v(e, ajustes, eq); }, aviso);
    e.tcpu = tempo_processador() - t0;
}
