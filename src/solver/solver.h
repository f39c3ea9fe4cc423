// Solver: grade e equações, campo inicial, suavizador, resíduo, transferências e as duas soluções.
#pragma once

#include "run/estado.h"
#include "solver/equipe.h"
#include "solver/metodo.h"

/// ae = 1/(dx*dx), an = 1/(dy*dy), ap = (an+ae)*2, do nível corrente.
void coeficientes(estado_execucao& e);
/// Torna k o nível corrente: k, ofsk, nxk, nyk, nxyk, dx, dy.
void selecionar_nivel(estado_execucao& e, int k);

/// Valores de Dirichlet no contorno de T (oeste, leste e, se nxk > 2, sul e norte).
void contornos(estado_execucao& e);
/// Solução exata do problema em todos os pontos de T: y*x ou sin(pi x) sinh(pi y)/sinh(pi).
void solucao_analitica(estado_execucao& e);
/// Campo inicial de T conforme tipo_ci, contornos, coeficientes e hist(0).
void preparar_campo_inicial(estado_execucao& e);
/// O mesmo numa só passada por T (mesmos bits); T criado e o nível mais fino corrente.
void campo_inicial_rapido(estado_execucao& e);

/// nitm varreduras lexicográficas em T: T(P) = (an*(S+N) + ae*(W+E)) * (1/ap).
void gauss_seidel(estado_execucao& e);
/// rnorm = soma de |(ap*T(P) - an*(S+N)) - ae*(W+E)| nos pontos internos, em ordem de armazenamento.
void norma_l1(estado_execucao& e);

/// Resíduo injetado no lado direito do nível k-1: de T quando k = nm, senão de cor.
void restringir_residuo(estado_execucao& e);
/// T += interpolação bilinear da correção do nível nm-1 (nível corrente nm).
void prolongar_em_T(estado_execucao& e);
/// cor(k) += interpolação bilinear da correção do nível k-1 (nível corrente 2..nm-1).
void prolongar_correcao(estado_execucao& e);
/// nitm varreduras em cor: (an*(S+N) + ae*(W+E) + res(Q)) * (1/ap).
void suavizar_correcao(estado_execucao& e);

/// Se o processador tem o conjunto de instruções (escalar e automatico sempre).
bool conjunto_disponivel(conjunto_instrucoes c);
/// Núcleos rápidos, bit a bit iguais aos de cima: numa só passada pelo nível corrente, prolongação (se pedida),
/// as varreduras pedidas (gauss_seidel em T, suavizar_correcao em cor), restrição e/ou norma, com as threads da equipe.
void passada_rapida(estado_execucao& e, const pedido_passada& pedido, equipe& eq);

/// it = 1, 2, ...: iteracao() deixa a norma em rnorm, guardada em hist(it); para no teste de tolerância ou
/// depois de itmax.
void iteracoes_externas(estado_execucao& e, const std::function<void()>& iteracao, const aviso_iteracao& aviso);
/// Gauss-Seidel puro até tolt ou itmax (nm = 1).
void resolver_malha_unica(estado_execucao& e, const metodo_solver& metodo = {}, const ajustes_solver& ajustes = {},
                          const aviso_iteracao& aviso = {});
/// Um ciclo V sobre T, cor e res já criados; deixa a norma do nível mais fino em rnorm.
void ciclo_v(estado_execucao& e, const ajustes_solver& ajustes, equipe& eq);
/// Ciclos V até tolt ou itmax (nm >= 2).
void resolver_multigrid(estado_execucao& e, const metodo_solver& metodo = {}, const ajustes_solver& ajustes = {},
                        const aviso_iteracao& aviso = {});

// Criação das grades (erro_fatal sem memória); n < 0 conta como 0.
void criar_campo(estado_execucao& e, long n);
void criar_niveis_grossos(estado_execucao& e, long n);

// Erro de discretização do campo final contra a solução exata do problema.
struct erro_exato {
    double maximo = 0.0; // max |T - T_exata|
    double medio = 0.0;  // média de |T - T_exata| sobre todos os pontos
};
/// Erro máximo e médio do campo T do nível mais fino (contornos incluídos).
erro_exato calcular_erro_exato(const estado_execucao& e);
