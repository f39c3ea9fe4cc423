// A solução multigrid: ciclos do método até tolt ou itmax, o primeiro pelo FMG quando pedido; e o ciclo V de
// referência, com os núcleos simples em duas voltas (descida, subida), oráculo dos testes.
#include "platform/plataforma.h"
#include "solver/solver.h"

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

void ciclo_v(estado_execucao& e, const ajustes_solver& ajustes, equipe& eq) {
    if (!ajustes.rapidos) {
        ciclo_v_referencia(e);
        return;
    }
    plano_solver p;
    planejar_solver(p, e, metodo_efetivo({}, e.nitm, e.nm, e.problema), ajustes, eq);
    ciclo(e, p, e.nm, tipo_ciclo::V);
}

void resolver_multigrid(estado_execucao& e, const metodo_efetivo& metodo, const ajustes_solver& ajustes,
                        const aviso_iteracao& aviso) {
    const double t0 = tempo_processador();
    derivar_niveis_grossos(e, metodo.engrossamento); // os níveis do método (quem chama já os derivou: nada muda)
    criar_campo(e, e.nxyg[e.nm]);
    criar_niveis_grossos(e, static_cast<long>(e.nxyt) - e.nxyg[e.nm]);
    equipe eq(ajustes.threads, ajustes.instrucoes);
    e.threads = eq.tamanho();
    plano_solver p;
    planejar_solver(p, e, metodo, ajustes, eq);
    e.instrucoes = instrucoes_da_solucao(p, eq);
    selecionar_nivel(e, e.nm);
    if (ajustes.rapidos && ajustes.reinicio.empty() && serve_campo_inicial_rapido(e, metodo))
        campo_inicial_rapido(e, metodo);
    else
        preparar_campo_inicial(e, metodo, ajustes.reinicio);
    if (ajustes.ao_comecar) ajustes.ao_comecar(e);
    if (metodo.krylov.tipo != tipo_krylov::nenhum)
        iteracoes_krylov(e, metodo.krylov, [&] { ciclo(e, p, e.nm, p.ciclo); }, aviso);
    else
        iteracoes_externas(
            e,
            [&] {
                if (p.fmg && e.it == 1) inicio_fmg(e, p);
                else ciclo(e, p, e.nm, p.ciclo);
            },
            aviso);
    e.tcpu = tempo_processador() - t0;
}
