// Frente de onda da passada rápida: a sequência de faixas (varredura, bloco de linhas) de cada fatia de colunas,
// com as esperas pelas fatias vizinhas, e o que fica pronto atrás dela (restrição e norma).
#include <algorithm>

#include "fast/rapido.h"

// Linhas fa..fb já finais: resíduos restritos (as ponderações pedem as linhas em ordem, cada uma uma vez) e a
// norma, somada em ordem: já, ou, se passos > 0, pela fila (o que restava nela é somado antes), algumas parcelas por
// passo nos próximos `passos` passos de varredura.
void linhas_finais(passada& p, plano_nivel& pl, int fa, int fb, long passos) {
    if (p.pedido.restringir && p.pedido.restricao == restricao_passada::injecao) {
        for (int j = fa; j <= fb; ++j)
            if (j % 2 == 1 && j >= 3 && j <= p.ny - 2) restringir_linha(p, j);
    } else if (p.pedido.restringir) {
        for (int j = fa; j <= fb; ++j) restringir_ponderada(p, pl, j);
    }
    if (!p.pedido.norma) return;
    if (passos <= 0) {
        for (int j = fa; j <= fb; ++j) p.fila.soma = somar_linha(p, j, p.fila.soma);
        return;
    }
    esvaziar_fila(p.fila);
    double* d = pl.parcelas.data();
    long n = 0;
    for (int j = fa; j <= fb; ++j, n += p.colunas) pl.pontual->parcelas(p, j, d + n);
    p.fila.proxima = d;
    p.fila.restantes = n;
    p.fila.por_passo = static_cast<int>(std::clamp((n + passos - 1) / passos, 1L, 16L));
}

namespace {

// Linhas que ficam finais quando a última varredura do bloco b termina: da linha abaixo do bloco até a penúltima
// dele (a última espera o bloco de cima); no último bloco, até o fim.
void finais_do_bloco(passada& p, plano_nivel& pl, int b, long passos) {
    const int R = pl.familia->linhas;
    const int j0 = 2 + b * R, nr = std::min(R, p.ny - j0);
    linhas_finais(p, pl, std::max(2, j0 - 1), b == pl.faixas - 1 ? p.ny - 1 : j0 + nr - 2, passos);
}

} // namespace

// A sequência das faixas (s, b) vai em ordem de chave b + 2s, s crescente na mesma chave. Antes de (s, b) a fatia h
// espera a fatia h-1 terminar (s, b) (o oeste da sua primeira coluna) e a fatia h+1 terminar (s-1, b) (o leste da
// sua última, ainda da varredura anterior).
void trabalhar(passada& p, plano_nivel& pl, int h, espera modo) {
    const std::size_t uh = static_cast<std::size_t>(h);
    const int R = pl.familia->linhas, B = pl.faixas, nvarr = p.pedido.varreduras;
    long long* ultimo = pl.ultimo.data() + uh * static_cast<std::size_t>(B); // última faixa da sequência de cada bloco
    std::fill(ultimo, ultimo + B, -1LL);
    double* anel = anel_da_fatia(pl, h);
    const int i0 = pl.borda[uh], i1 = pl.borda[uh + 1] - 1;
    const bool ultima = h == pl.fatias - 1, avisa = pl.fatias > 1;
    const bool zerar = p.pedido.zerar && !p.pedido.prolongar;
    long long g = 0;
    const int tmax = (B - 1) + 2 * (nvarr - 1);
    for (int t = 0; t <= tmax; ++t) {
        const int smin = std::max(0, (t - (B - 1) + 1) / 2), smax = std::min(nvarr - 1, t / 2);
        for (int s = smin; s <= smax; ++s, ++g) {
            const int b = t - 2 * s;
            const long long anterior = ultimo[b];
            ultimo[b] = g;
            const int j0 = 2 + b * R, nr = std::min(R, p.ny - j0);
            if (h > 0) esperar(pl.feitos[uh - 1], g + 1, modo);
            if (h < pl.fatias - 1 && anterior >= 0) esperar(pl.feitos[uh + 1], anterior + 1, modo);
            if (s == 0 && p.pedido.prolongar) {
                // cada fatia prolonga também a primeira coluna da seguinte, que ela lê como leste, e a linha acima
                // do bloco, que ela lê como norte
                const int a = h == 0 ? 2 : i0 + 1, z = ultima ? p.nx - 1 : i1 + 1;
                for (int j = (b == 0 ? 2 : j0 + 1); j <= std::min(j0 + nr, p.ny - 1); ++j) pl.pontual->prolongar(p, j, a, z);
            }
            // as linhas de cache da divisa com as fatias vizinhas, pedidas juntas em vez de uma falta por linha
            for (int j = j0 - 1; j <= j0 + nr; ++j) {
                const double* l = p.u + (j - 1) * static_cast<long>(p.nx);
                if (h > 0) __builtin_prefetch(l + i0 - 1, 1);
                if (h < pl.fatias - 1) __builtin_prefetch(l + i1 + 1, 1);
            }
            const trecho tr{j0, nr, i0, i1 - i0 + 1, zerar && s == 0, ultima && p.pedido.norma};
            pl.familia->varrer(p, tr, anel);
            if (avisa) publicar(pl.feitos[uh], g + 1);
            if (ultima && s == nvarr - 1 && (p.pedido.restringir || p.pedido.norma))
                finais_do_bloco(p, pl, b, static_cast<long>(i1 - i0 + 1) * nvarr);
        }
    }
    if (ultima && p.pedido.norma) esvaziar_fila(p.fila);
}

void passada_sem_varreduras(passada& p, plano_nivel& pl) {
    if (p.pedido.prolongar) {
        for (int j = 2; j <= p.ny - 1; ++j) pl.pontual->prolongar(p, j, 2, p.nx - 1);
    } else if (p.pedido.zerar) {
        for (int j = 2; j <= p.ny - 1; ++j) std::fill_n(p.u + (j - 1) * static_cast<long>(p.nx) + 2, p.colunas, 0.0);
    }
    linhas_finais(p, pl, 2, p.ny - 1, 0);
}
