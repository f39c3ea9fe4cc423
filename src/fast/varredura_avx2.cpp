// Varreduras e parcelas da norma em vetores AVX2 (4 doubles): só as funções deste arquivo usam essas instruções,
// escolhidas em tempo de execução (conjunto_efetivo).
#include <immintrin.h>

#include "fast/rapido.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "fast/pontuais_vetoriais.h"
#include "fast/variaveis_vetoriais.h"
#include "fast/varredura_vetorial.h"

namespace {

struct avx2 {
    using vetor = __m256d;
    static constexpr int largura = 4;
    static vetor difundir(double x) { return _mm256_set1_pd(x); }
    static vetor carregar(const double* a) { return _mm256_load_pd(a); }
    static vetor carregar_solto(const double* a) { return _mm256_loadu_pd(a); }
    static void guardar(double* a, vetor v) { _mm256_store_pd(a, v); }
    static void guardar_solto(double* a, vetor v) { _mm256_storeu_pd(a, v); }
    static vetor somar(vetor a, vetor b) { return _mm256_add_pd(a, b); }
    static vetor subtrair(vetor a, vetor b) { return _mm256_sub_pd(a, b); }
    static vetor multiplicar(vetor a, vetor b) { return _mm256_mul_pd(a, b); }
    static vetor dividir(vetor a, vetor b) { return _mm256_div_pd(a, b); }
    // sul de cada raia = a mesma posição do vetor de baixo deslocada de uma raia: (b3, a0, a1, a2), com b já
    // rodado (raia 0 = b3) ou difundido
    static vetor preparar(vetor a) { return _mm256_permute4x64_pd(a, 0x93); } // (a3, a0, a1, a2)
    static vetor juntar(vetor a, vetor b) { return _mm256_blend_pd(a, b, 1); }
    static vetor absoluto(vetor a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
    // (a3, b0, b1, b2) e (a1, a2, a3, b0): o vizinho oeste e o leste de cada raia de a (ou b)
    static vetor oeste(vetor a, vetor b) { return _mm256_shuffle_pd(_mm256_permute2f128_pd(a, b, 0x21), b, 0x5); }
    static vetor leste(vetor a, vetor b) { return _mm256_shuffle_pd(a, _mm256_permute2f128_pd(a, b, 0x21), 0x5); }
    // b nas raias pares (ou ímpares), a nas outras
    static vetor nas_pares(vetor a, vetor b) { return _mm256_blend_pd(a, b, 0x5); }
    static vetor nas_impares(vetor a, vetor b) { return _mm256_blend_pd(a, b, 0xA); }
    // (a0, b0, a1, b1) e (a2, b2, a3, b3)
    static void intercalar(vetor a, vetor b, vetor& primeiro, vetor& segundo) {
        const __m256d lo = _mm256_unpacklo_pd(a, b), hi = _mm256_unpackhi_pd(a, b);
        primeiro = _mm256_permute2f128_pd(lo, hi, 0x20);
        segundo = _mm256_permute2f128_pd(lo, hi, 0x31);
    }
    static void zerar_bloco(double* d, int sx) {
        for (int e = 0; e < largura; ++e) _mm256_store_pd(d + e * sx, _mm256_setzero_pd());
    }
    // Linhas o, o+passo, o+2*passo, o+3*passo (4 colunas cada) para os passos d, d+sx, d+2*sx, d+3*sx (4 raias
    // cada): metades de 128 bits carregadas já nos lugares, depois unpacklo/hi dentro de cada metade.
    static void transpor_entrada(const double* o, long passo, double* d, int sx) {
        const double *r0 = o, *r1 = o + passo, *r2 = o + 2 * passo, *r3 = o + 3 * passo;
        const __m256d a = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(r0)), _mm_loadu_pd(r2), 1);
        const __m256d b = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(r1)), _mm_loadu_pd(r3), 1);
        const __m256d c = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(r0 + 2)), _mm_loadu_pd(r2 + 2), 1);
        const __m256d e = _mm256_insertf128_pd(_mm256_castpd128_pd256(_mm_loadu_pd(r1 + 2)), _mm_loadu_pd(r3 + 2), 1);
        _mm256_store_pd(d, _mm256_unpacklo_pd(a, b));
        _mm256_store_pd(d + sx, _mm256_unpackhi_pd(a, b));
        _mm256_store_pd(d + 2 * sx, _mm256_unpacklo_pd(c, e));
        _mm256_store_pd(d + 3 * sx, _mm256_unpackhi_pd(c, e));
    }
    // O inverso: 4 passos de 4 raias de volta às 4 linhas, uma escrita de 256 bits por linha (a máquina grava uma
    // linha de cache por ciclo, qualquer que seja a largura): unpacklo/hi e metades trocadas com blend.
    static void transpor_saida(const double* x, int sx, double* o, long passo) {
        const __m256d y0 = _mm256_load_pd(x), y1 = _mm256_load_pd(x + sx);
        const __m256d y2 = _mm256_load_pd(x + 2 * sx), y3 = _mm256_load_pd(x + 3 * sx);
        const __m256d a = _mm256_unpacklo_pd(y0, y1), b = _mm256_unpackhi_pd(y0, y1); // linhas 0 e 2 | 1 e 3
        const __m256d c = _mm256_unpacklo_pd(y2, y3), e = _mm256_unpackhi_pd(y2, y3);
        const __m256d ac = _mm256_permute2f128_pd(a, c, 0x21), be = _mm256_permute2f128_pd(b, e, 0x21);
        _mm256_storeu_pd(o, _mm256_blend_pd(a, ac, 0xC));
        _mm256_storeu_pd(o + passo, _mm256_blend_pd(b, be, 0xC));
        _mm256_storeu_pd(o + 2 * passo, _mm256_blend_pd(ac, c, 0xC));
        _mm256_storeu_pd(o + 3 * passo, _mm256_blend_pd(be, e, 0xC));
    }
};

// 4 vetores de 4 linhas em voo (16 linhas).
void varrer_avx2(passada& p, const trecho& z, double* anel) { vetorial::varrer<avx2, 4>(p, z, anel); }
void parcelas_avx2(const passada& p, int j, double* d) { vetorial::parcelas<avx2>(p, j, d); }
void prolongar_avx2(const passada& p, int j, int i0, int i1) { vetorial::prolongar<avx2>(p, j, i0, i1); }
void residuos_avx2(const passada& p, int j, double* r) { vetorial::residuos<avx2>(p, j, r); }
void cor_avx2(const passada& p, int j, int paridade) { vetorial::cor<avx2>(p, j, paridade); }
void jacobi_avx2(const passada& p, int j, double* d) { vetorial::jacobi<avx2>(p, j, d); }
void cor_variavel_avx2(const nivel_variavel& v, int j, int paridade) {
    vetorial::cor_variavel<avx2>(v, j, paridade);
}
void jacobi_variavel_avx2(const nivel_variavel& v, const double* a, int j, double* d) {
    vetorial::jacobi_variavel<avx2>(v, a, j, d);
}
void cor_nove_avx2(const nivel_nove& v, int j, int paridade) { vetorial::cor_nove<avx2>(v, j, paridade); }
void jacobi_nove_avx2(const nivel_nove& v, const double* a, int j, double* d) {
    vetorial::jacobi_nove<avx2>(v, a, j, d);
}

} // namespace

const familia_varredura familia_avx2{16, true, varrer_avx2, parcelas_avx2, prolongar_avx2,
                                     residuos_avx2, cor_avx2, jacobi_avx2, cor_variavel_avx2,
                                     jacobi_variavel_avx2, cor_nove_avx2, jacobi_nove_avx2};

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
