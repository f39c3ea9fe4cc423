// Varreduras e parcelas da norma em vetores AVX-512 (8 doubles, só AVX-512F): só as funções deste arquivo usam
// essas instruções, escolhidas em tempo de execução (conjunto_efetivo).
#include <immintrin.h>

#include "fast/rapido.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
// falso positivo do GCC 12: os intrínsecos AVX-512 passam _mm512_undefined_pd() como valor de fundo (bug 105593)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "fast/pontuais_vetoriais.h"
#include "fast/variaveis_vetoriais.h"
#include "fast/varredura_vetorial.h"

namespace {

// Metade baixa de v em a, alta em b.
void guardar_metades(double* a, double* b, __m512d v) {
    _mm256_storeu_pd(a, _mm512_castpd512_pd256(v));
    _mm256_storeu_pd(b, _mm512_extractf64x4_pd(v, 1));
}

struct avx512 {
    using vetor = __m512d;
    static constexpr int largura = 8;
    static vetor difundir(double x) { return _mm512_set1_pd(x); }
    static vetor carregar(const double* a) { return _mm512_load_pd(a); }
    static vetor carregar_solto(const double* a) { return _mm512_loadu_pd(a); }
    static void guardar(double* a, vetor v) { _mm512_store_pd(a, v); }
    static void guardar_solto(double* a, vetor v) { _mm512_storeu_pd(a, v); }
    static vetor somar(vetor a, vetor b) { return _mm512_add_pd(a, b); }
    static vetor subtrair(vetor a, vetor b) { return _mm512_sub_pd(a, b); }
    static vetor multiplicar(vetor a, vetor b) { return _mm512_mul_pd(a, b); }
    static vetor dividir(vetor a, vetor b) { return _mm512_div_pd(a, b); }
    // sul de cada raia = a mesma posição do vetor de baixo deslocada de uma raia: (b7, a0, ..., a6), numa só
    // instrução (valignq)
    static vetor preparar(vetor a) { return a; }
    static vetor juntar(vetor a, vetor b) {
        return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(a), _mm512_castpd_si512(b), 7));
    }
    static vetor absoluto(vetor a) {
        return _mm512_castsi512_pd(_mm512_and_si512(_mm512_castpd_si512(a), _mm512_set1_epi64(0x7fffffffffffffffLL)));
    }
    // (a7, b0, ..., b6) e (a1, ..., a7, b0): o vizinho oeste de cada raia de b e o leste de cada raia de a
    static vetor oeste(vetor a, vetor b) { return juntar(b, a); }
    static vetor leste(vetor a, vetor b) {
        return _mm512_castsi512_pd(_mm512_alignr_epi64(_mm512_castpd_si512(b), _mm512_castpd_si512(a), 1));
    }
    // b nas raias pares (ou ímpares), a nas outras
    static vetor nas_pares(vetor a, vetor b) { return _mm512_mask_blend_pd(0x55, a, b); }
    static vetor nas_impares(vetor a, vetor b) { return _mm512_mask_blend_pd(0xAA, a, b); }
    // (a0, b0, ..., a3, b3) e (a4, b4, ..., a7, b7)
    static void intercalar(vetor a, vetor b, vetor& primeiro, vetor& segundo) {
        const __m512d lo = _mm512_unpacklo_pd(a, b), hi = _mm512_unpackhi_pd(a, b);
        primeiro = _mm512_permutex2var_pd(lo, _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0), hi);
        segundo = _mm512_permutex2var_pd(lo, _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4), hi);
    }
    static void zerar_bloco(double* d, int sx) {
        for (int e = 0; e < largura; ++e) _mm512_store_pd(d + e * sx, _mm512_setzero_pd());
    }
    // 8 linhas de 8 colunas para 8 passos de 8 raias: metades de 256 bits carregadas em pares de linhas (0 e 2,
    // 1 e 3, 4 e 6, 5 e 7), unpacklo/hi dentro dos quartos de 128 bits, depois quartos escolhidos (shuffle_f64x2).
    static void transpor_entrada(const double* o, long passo, double* d, int sx) {
        auto par = [o, passo](int m, int n, int c) {
            return _mm512_insertf64x4(_mm512_castpd256_pd512(_mm256_loadu_pd(o + m * passo + c)),
                                      _mm256_loadu_pd(o + n * passo + c), 1);
        };
        for (int c = 0; c < 8; c += 4) {
            const __m512d t0 = par(0, 2, c), t1 = par(1, 3, c), t4 = par(4, 6, c), t5 = par(5, 7, c);
            const __m512d a = _mm512_unpacklo_pd(t0, t1), ah = _mm512_unpackhi_pd(t0, t1);
            const __m512d b = _mm512_unpacklo_pd(t4, t5), bh = _mm512_unpackhi_pd(t4, t5);
            _mm512_store_pd(d + c * sx, _mm512_shuffle_f64x2(a, b, 0x88));
            _mm512_store_pd(d + (c + 1) * sx, _mm512_shuffle_f64x2(ah, bh, 0x88));
            _mm512_store_pd(d + (c + 2) * sx, _mm512_shuffle_f64x2(a, b, 0xDD));
            _mm512_store_pd(d + (c + 3) * sx, _mm512_shuffle_f64x2(ah, bh, 0xDD));
        }
    }
    // O inverso, com escritas de 256 bits (a máquina grava uma linha de cache por ciclo, qualquer que seja a
    // largura): pares de passos intercalados dão, em cada quarto k, dois passos da linha 2k (lo) ou 2k+1 (hi);
    // vpermt2pd junta quatro passos da linha m e da m+4.
    static void transpor_saida(const double* x, int sx, double* o, long passo) {
        const __m512i i0 = _mm512_set_epi64(13, 12, 5, 4, 9, 8, 1, 0), i1 = _mm512_set_epi64(15, 14, 7, 6, 11, 10, 3, 2);
        for (int e = 0; e < 8; e += 4) {
            const __m512d y0 = _mm512_load_pd(x + e * sx), y1 = _mm512_load_pd(x + (e + 1) * sx);
            const __m512d y2 = _mm512_load_pd(x + (e + 2) * sx), y3 = _mm512_load_pd(x + (e + 3) * sx);
            const __m512d lo01 = _mm512_unpacklo_pd(y0, y1), hi01 = _mm512_unpackhi_pd(y0, y1);
            const __m512d lo23 = _mm512_unpacklo_pd(y2, y3), hi23 = _mm512_unpackhi_pd(y2, y3);
            const __m512d l04 = _mm512_permutex2var_pd(lo01, i0, lo23), l26 = _mm512_permutex2var_pd(lo01, i1, lo23);
            const __m512d l15 = _mm512_permutex2var_pd(hi01, i0, hi23), l37 = _mm512_permutex2var_pd(hi01, i1, hi23);
            guardar_metades(o + e, o + 4 * passo + e, l04);
            guardar_metades(o + 2 * passo + e, o + 6 * passo + e, l26);
            guardar_metades(o + passo + e, o + 5 * passo + e, l15);
            guardar_metades(o + 3 * passo + e, o + 7 * passo + e, l37);
        }
    }
};

// 2 vetores de 8 linhas em voo (16 linhas).
void varrer_avx512(passada& p, const trecho& z, double* anel) { vetorial::varrer<avx512, 2>(p, z, anel); }
void parcelas_avx512(const passada& p, int j, double* d) { vetorial::parcelas<avx512>(p, j, d); }
void prolongar_avx512(const passada& p, int j, int i0, int i1) { vetorial::prolongar<avx512>(p, j, i0, i1); }
void residuos_avx512(const passada& p, int j, double* r) { vetorial::residuos<avx512>(p, j, r); }
void cor_avx512(const passada& p, int j, int paridade) { vetorial::cor<avx512>(p, j, paridade); }
void jacobi_avx512(const passada& p, int j, double* d) { vetorial::jacobi<avx512>(p, j, d); }
void cor_variavel_avx512(const nivel_variavel& v, int j, int paridade) {
    vetorial::cor_variavel<avx512>(v, j, paridade);
}
void jacobi_variavel_avx512(const nivel_variavel& v, const double* a, int j, double* d) {
    vetorial::jacobi_variavel<avx512>(v, a, j, d);
}
void cor_nove_avx512(const nivel_nove& v, int j, int paridade) { vetorial::cor_nove<avx512>(v, j, paridade); }
void jacobi_nove_avx512(const nivel_nove& v, const double* a, int j, double* d) {
    vetorial::jacobi_nove<avx512>(v, a, j, d);
}

} // namespace

const familia_varredura familia_avx512{16, true, varrer_avx512, parcelas_avx512, prolongar_avx512,
                                       residuos_avx512, cor_avx512, jacobi_avx512, cor_variavel_avx512,
                                       jacobi_variavel_avx512, cor_nove_avx512, jacobi_nove_avx512};

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif
