// Plano de cada nível da passada rápida: conjunto de instruções, threads, divisão das colunas e memórias de
// trabalho, feitos na primeira passada pelo nível.
#include <algorithm>
#include <cstdint>

#include "fast/passada.h"
#include "fast/rapido.h"

namespace {

// Pontos internos a partir dos quais o nível usa várias threads (abaixo disso a passada inteira leva menos que
// acordar a outra thread e esperar por ela nas divisas).
constexpr long minimo_threads = 1L << 19;
// Colunas mínimas de cada fatia: a frente de onda de cada faixa precisa de espaço para o regime.
constexpr int colunas_por_fatia = 256;

// Atraso das famílias vetoriais: o menor (bordas mais curtas) que espalha as R+1 linhas de uma faixa, numa mesma
// coluna da frente, por ao menos R/2 conjuntos da cache L1 (64 conjuntos de linhas de 64 bytes, endereços módulo
// 4 KiB). Nas grades do multigrid nx-1 é múltiplo de 512 e um atraso de 1 as poria todas no mesmo conjunto.
int atraso_vetorial(int nx, int R) {
    int melhor = 1, conjuntos_melhor = 0;
    for (int A = 1; A <= 16; ++A) {
        bool usado[64] = {};
        int n = 0;
        for (int m = 0; m <= R; ++m) {
            const long c = ((static_cast<long>(m) * (nx - A) * 8) % 4096 + 4096) % 4096 / 64;
            if (!usado[c]) usado[c] = true, ++n;
        }
        if (n > conjuntos_melhor) melhor = A, conjuntos_melhor = n;
        if (2 * n >= R) break;
    }
    return melhor;
}

} // namespace

const familia_varredura& familia_de(conjunto_instrucoes c) {
    switch (c) {
    case conjunto_instrucoes::avx512: return familia_avx512;
    case conjunto_instrucoes::avx2: return familia_avx2;
    default: return familia_escalar;
    }
}

bool conjunto_disponivel(conjunto_instrucoes c) {
    switch (c) {
    case conjunto_instrucoes::avx512:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx512f") != 0;
#else
        return false;
#endif
    case conjunto_instrucoes::avx2:
#if defined(__x86_64__) || defined(__i386__)
        return __builtin_cpu_supports("avx2") != 0;
#else
        return false;
#endif
    default: return true;
    }
}

const char* nome_do_conjunto(conjunto_instrucoes c) {
    switch (c) {
    case conjunto_instrucoes::avx512: return "avx512";
    case conjunto_instrucoes::avx2: return "avx2";
    case conjunto_instrucoes::escalar: return "scalar";
    case conjunto_instrucoes::automatico: break;
    }
    return "auto";
}

// automatico: a família escalar. Medido nesta máquina (doc/desempenho.md), um ciclo V de 2049² leva 30 ms com
// ela, 33 com AVX-512 e 36 com AVX2: as transposições de ida e volta pelo anel custam mais do que as raias poupam
// (o processador grava uma linha de cache por ciclo e a porta 5 faz todas as trocas de raia).
conjunto_instrucoes conjunto_efetivo(conjunto_instrucoes pedido) {
    if (pedido == conjunto_instrucoes::automatico) pedido = conjunto_instrucoes::escalar;
    return conjunto_pontual(pedido);
}

conjunto_instrucoes conjunto_pontual(conjunto_instrucoes pedido) {
    if (pedido == conjunto_instrucoes::automatico) pedido = conjunto_instrucoes::avx512;
    if (pedido == conjunto_instrucoes::avx512 && !conjunto_disponivel(pedido)) pedido = conjunto_instrucoes::avx2;
    if (pedido == conjunto_instrucoes::avx2 && !conjunto_disponivel(pedido)) pedido = conjunto_instrucoes::escalar;
    return pedido;
}

plano_nivel& plano_do_nivel(equipe& eq, int nx, int ny) {
    auto& lista = eq.planos().lista;
    for (auto& p : lista)
        if (p->nx == nx && p->ny == ny) return *p;
    auto pl = std::make_unique<plano_nivel>();
    pl->nx = nx;
    pl->ny = ny;
    pl->familia = &familia_de(eq.instrucoes());
    pl->pontual = &familia_de(eq.instrucoes_pontuais());
    const int W = nx - 2, linhas = ny - 2, R = pl->familia->linhas;
    pl->faixas = linhas > 0 ? (linhas + R - 1) / R : 0;
    const long interior = static_cast<long>(std::max(W, 0)) * std::max(linhas, 0);
    const int n = interior >= minimo_threads ? eq.tamanho() : 1;
    pl->fatias = std::max(1, std::min(n, W / colunas_por_fatia));
    pl->borda.assign(static_cast<std::size_t>(pl->fatias) + 1, 2);
    pl->feitos = std::vector<sinal>(static_cast<std::size_t>(pl->fatias));
    pl->ultimo.assign(static_cast<std::size_t>(pl->fatias) * static_cast<std::size_t>(pl->faixas), -1);
    if (W > 0) pl->parcelas.assign(static_cast<std::size_t>(W) * static_cast<std::size_t>(R + 1), 0.0);
    pl->atraso = atraso_vetorial(nx, R);
    pl->por_anel = 2L * passos_anel * (R + 8);
    pl->aneis.assign(static_cast<std::size_t>(pl->fatias * pl->por_anel + 8), 0.0);
    pl->residuos.assign(3 * (static_cast<std::size_t>(std::max(nx, 0)) + 1), 0.0);
    lista.push_back(std::move(pl));
    return *lista.back();
}

// Fatias de trabalho parecido: a última, que faz também restrição e norma, fica mais estreita (custos em
// varreduras por ponto, aproximados).
void dividir_colunas(plano_nivel& pl, const pedido_passada& pedido) {
    const int W = pl.nx - 2, n = pl.fatias;
    const double unidades = std::max(pedido.varreduras, 1) + (pedido.prolongar ? 0.8 : 0.0);
    const double restricao = pedido.restricao == restricao_passada::injecao ? 0.3 : 1.0;
    const double extra = ((pedido.norma ? 1.0 : 0.0) + (pedido.restringir ? restricao : 0.0)) / unidades;
    const double largura = W * (1.0 + extra) / n;
    for (int h = 1; h < n; ++h)
        pl.borda[static_cast<std::size_t>(h)] = std::clamp(2 + static_cast<int>(largura * h), 2 + h, W + 1 - (n - h));
    pl.borda[0] = 2;
    pl.borda[static_cast<std::size_t>(n)] = pl.nx;
}

double* anel_da_fatia(plano_nivel& pl, int h) {
    auto ender = reinterpret_cast<std::uintptr_t>(pl.aneis.data());
    ender = (ender + 63) / 64 * 64;
    return reinterpret_cast<double*>(ender) + h * pl.por_anel;
}
