// O ciclo multigrid recursivo (V, W, F) e o tratamento do nível mais grosso, pelos componentes do plano.
//
// Com o plano rápido (Gauss-Seidel lexicográfico puro, vermelho-preto ou Jacobi; injeção, meia ou completa) cada
// perna de um nível é uma só passada_rapida: na descida as varreduras e a restrição, na subida a prolongação, as
// varreduras e, no mais fino, a norma. A correção de um nível grosso zerada antes da primeira visita não é zerada
// à parte: só o contorno (que o FMG pode ter deixado com valores de Dirichlet) recebe zeros, e a primeira passada
// escreve o interior sem lê-lo (pedido.zerar), com os mesmos bits de uma correção zerada na memória.
#include <algorithm>

#include "solver/cronometro.h"
#include "solver/solver.h"
#include "state/componentes.h"

namespace {

// Pré-suavização e restrição do resíduo para o lado direito do nível k-1.
void pre_suavizar_e_restringir(estado_execucao& e, plano_solver& p, correcao_inicial inicial) {
    if (p.rapido) {
        const cronometro_fase c(p.tempos, e.k, fase_tempo::suavizacao_restricao);
        passada_rapida(e,
                       com_suavizador(p, {.varreduras = p.pre, .restringir = true,
                                          .zerar = inicial == correcao_inicial::zero, .restricao = p.restricao_rapida}),
                       *p.eq);
        return;
    }
    const vista_nivel v = nivel_corrente(e);
    {
        const cronometro_fase c(p.tempos, e.k, fase_tempo::suavizacao);
        p.nucleos[static_cast<std::size_t>(e.k)].suavizar(v, p.meios, p.pre);
    }
    const cronometro_fase c(p.tempos, e.k, fase_tempo::restricao);
    p.nucleos[static_cast<std::size_t>(e.k)].restringir(v, nivel_abaixo_do_corrente(e), p.rascunho_restricao.data());
}

// Correção do nível k-1 interpolada e somada, pós-suavização e, no nível mais fino, a norma L1 em rnorm.
void prolongar_e_pos_suavizar(estado_execucao& e, plano_solver& p) {
    const bool mais_fino = e.k == e.nm;
    if (p.rapido) {
        const cronometro_fase c(p.tempos, e.k, fase_tempo::prolongacao_suavizacao);
        passada_rapida(e, com_suavizador(p, {.varreduras = p.pos, .prolongar = true, .norma = mais_fino}), *p.eq);
        return;
    }
    {
        const cronometro_fase c(p.tempos, e.k, fase_tempo::prolongacao);
        p.nucleos[static_cast<std::size_t>(e.k)].prolongar(nivel_corrente(e), nivel_abaixo_do_corrente(e));
    }
    {
        const cronometro_fase c(p.tempos, e.k, fase_tempo::suavizacao);
        p.nucleos[static_cast<std::size_t>(e.k)].pos_suavizar(nivel_corrente(e), p.meios, p.pos);
    }
    if (!mais_fino) return;
    const cronometro_fase c(p.tempos, e.k, fase_tempo::norma);
    norma_l1(e);
}

// Todos os elementos da correção do nível k-1 (contorno incluído) = 0.
void zerar_correcao_abaixo(estado_execucao& e) {
    double* c = e.cor.data() + deslocamento_do_nivel(e, e.k - 1);
    std::fill(c + 1, c + 1 + e.nxyg[e.k - 1], 0.0);
}

// Só o contorno da correção do nível k-1 = 0; o interior fica para a primeira passada (zerar).
void zerar_contorno_abaixo(estado_execucao& e) {
    double* c = e.cor.data() + deslocamento_do_nivel(e, e.k - 1);
    const int nx = e.nxg[e.k - 1], ny = e.nyg[e.k - 1];
    std::fill(c + 1, c + 1 + nx, 0.0);
    std::fill(c + 1 + (ny - 1L) * nx, c + 1 + static_cast<long>(ny) * nx, 0.0);
    for (int j = 2; j <= ny - 1; ++j) c[1 + (j - 1L) * nx] = c[static_cast<long>(j) * nx] = 0.0;
}

} // namespace

void suavizar_nivel(estado_execucao& e, plano_solver& p, int varreduras, correcao_inicial c) {
    if (p.rapido)
        passada_rapida(e, com_suavizador(p, {.varreduras = varreduras, .zerar = c == correcao_inicial::zero}), *p.eq);
    else p.nucleos[static_cast<std::size_t>(e.k)].suavizar(nivel_corrente(e), p.meios, varreduras);
}

void tratar_nivel_grosso(estado_execucao& e, plano_solver& p, correcao_inicial inicial) {
    const cronometro_fase c(p.tempos, 1, fase_tempo::grosso);
    // a solução direta escreve todo o interior a partir de res e do contorno: não lê a correção
    if (p.grosso_exato) {
        resolver_nivel_grosso(p.fator, nivel_corrente(e));
    } else if (p.ordem == ordem_pos::adjunta && p.grosso % 2 == 0) {
        // um número par de varreduras: a metade na ordem da pré, a outra metade na adjunta (um tratamento simétrico)
        const nucleos_nivel& n = p.nucleos[1];
        n.suavizar(nivel_corrente(e), p.meios, p.grosso / 2);
        n.pos_suavizar(nivel_corrente(e), p.meios, p.grosso / 2);
    } else {
        suavizar_nivel(e, p, p.grosso, inicial);
    }
}

void ciclo(estado_execucao& e, plano_solver& p, int k, tipo_ciclo tipo, correcao_inicial inicial) {
    selecionar_nivel(e, k);
    coeficientes(e);
    if (k == 1) {
        tratar_nivel_grosso(e, p, inicial);
        return;
    }
    pre_suavizar_e_restringir(e, p, inicial);
    // a primeira visita ao nível k-1 parte da correção zero; a segunda (W, F) continua da que a primeira deixou
    correcao_inicial abaixo = correcao_inicial::atual;
    if (p.rapido) {
        zerar_contorno_abaixo(e);
        abaixo = correcao_inicial::zero;
    } else {
        zerar_correcao_abaixo(e);
    }
    const componente_ciclo& c = componente(tipo);
    for (int n = 0; n < c.chamadas; ++n) ciclo(e, p, k - 1, c.abaixo[n], n == 0 ? abaixo : correcao_inicial::atual);
    selecionar_nivel(e, k);
    coeficientes(e);
    prolongar_e_pos_suavizar(e, p);
}
