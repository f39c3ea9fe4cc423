// Vermelho-preto e Jacobi na passada rápida. Numa thread, as varreduras pedidas, a prolongação antes delas e a
// restrição e a norma depois saem numa só passada pela memória do nível, em frente de onda de linhas; com várias
// threads (níveis grandes), cada varredura (cada cor) divide as linhas entre elas. Bits iguais aos dos laços de
// referência porque cada ponto é atualizado com os mesmos operandos:
//  - vermelho-preto: no passo t a varredura s faz a cor vermelha da linha r = 2 + t - 2s e a preta da linha r-1
//    (s crescente dentro do passo). O vermelho de (s, r) lê os pretos das linhas r-1..r+1 da varredura s-1 (a
//    varredura s-1, duas linhas à frente, já os fez neste passo) e o preto de (s, r-1) os vermelhos das linhas
//    r-2..r da varredura s, todos feitos; ninguém lê depois os valores que cada um sobrescreve.
//  - Jacobi: no passo t a varredura s calcula a linha j = 2 + t - 2s, das linhas j-1..j+1 ainda da varredura s-1,
//    numa linha pendente, e só então escreve a pendente da linha j-1 (que a conta de j leu ainda antiga); a
//    varredura s-1, duas linhas à frente, já escreveu as linhas até j+1.
//  - a prolongação (ou os zeros de uma correção zerada) de uma linha vem antes da primeira leitura dela; a
//    restrição e a norma de uma linha, quando as linhas vizinhas já são finais (linhas_finais, como na frente de
//    onda lexicográfica).
#include <algorithm>
#include <cstring>

#include "fast/rapido.h"

namespace {

// A linha j pronta para a primeira varredura: a correção interpolada somada, ou os zeros da correção zerada.
void preparar_linha(passada& p, plano_nivel& pl, int j) {
    if (p.pedido.prolongar) pl.pontual->prolongar(p, j, 2, p.nx - 1);
    else if (p.pedido.zerar) std::fill_n(p.u + (j - 1) * static_cast<long>(p.nx) + 2, p.colunas, 0.0);
}

double* linha_pendente(plano_nivel& pl, int nx, int n) { return pl.pendentes.data() + n * static_cast<long>(nx + 1); }

void gravar_pendente(passada& p, int j, const double* d) {
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(p.colunas);
    std::memcpy(p.u + (j - 1) * static_cast<long>(p.nx) + 2, d + 2, bytes);
}

// Frente de onda numa thread. `fazer(s, r)`: a varredura s no seu passo de linha r; as linhas <= r - 1 - 2*(n-1)
// ficam finais com o passo da última varredura.
template <class F>
void frente_de_linhas(passada& p, plano_nivel& pl, const F& fazer) {
    const int n = p.pedido.varreduras, ny = p.ny;
    const bool preparar = p.pedido.prolongar || p.pedido.zerar;
    int preparadas = 1, finais = 1;
    for (int t = 0;; ++t) {
        for (int s = 0; s < n; ++s) {
            const int r = 2 + t - 2 * s;
            if (r < 2) break;
            if (s == 0 && preparar)
                for (; preparadas < std::min(r + 1, ny - 1);) preparar_linha(p, pl, ++preparadas);
            if (r <= ny) fazer(s, r);
        }
        const int feita = 1 + t - 2 * (n - 1); // última linha final
        if (feita >= ny - 1) break;
        if (feita - 1 > finais) {
            linhas_finais(p, pl, finais + 1, feita - 1, 0);
            finais = feita - 1;
        }
    }
    if (finais < ny - 1) linhas_finais(p, pl, finais + 1, ny - 1, 0);
}

void vermelho_preto_numa_thread(passada& p, plano_nivel& pl) {
    const familia_varredura& k = *pl.pontual;
    frente_de_linhas(p, pl, [&p, &k](int, int r) {
        if (r <= p.ny - 1) k.cor(p, r, 0);
        if (r - 1 >= 2) k.cor(p, r - 1, 1);
    });
}

void jacobi_numa_thread(passada& p, plano_nivel& pl) {
    const familia_varredura& k = *pl.pontual;
    frente_de_linhas(p, pl, [&p, &pl, &k](int s, int r) {
        if (r <= p.ny - 1) k.jacobi(p, r, linha_pendente(pl, p.nx, 2 * s + r % 2));
        if (r - 1 >= 2) gravar_pendente(p, r - 1, linha_pendente(pl, p.nx, 2 * s + (r - 1) % 2));
    });
}

// Com várias threads: a faixa de linhas da thread h de n.
struct faixa_linhas {
    int a, b;
};
faixa_linhas faixa_da_thread(const passada& p, int h, int n) {
    const int linhas = p.ny - 2;
    return {2 + static_cast<int>(static_cast<long>(linhas) * h / n),
            1 + static_cast<int>(static_cast<long>(linhas) * (h + 1) / n)};
}

// Jacobi numa faixa a..b: as linhas a e b primeiro, à parte (leem linhas das faixas vizinhas, que ainda não mudaram
// nesta etapa), depois as de dentro com uma linha pendente, e por fim a e b escritas.
void jacobi_bordas_da_faixa(passada& p, plano_nivel& pl, faixa_linhas f, int h) {
    pl.pontual->jacobi(p, f.a, linha_pendente(pl, p.nx, 4 * h));
    if (f.b > f.a) pl.pontual->jacobi(p, f.b, linha_pendente(pl, p.nx, 4 * h + 1));
}

void jacobi_dentro_da_faixa(passada& p, plano_nivel& pl, faixa_linhas f, int h) {
    for (int j = f.a + 1; j <= f.b - 1; ++j) {
        pl.pontual->jacobi(p, j, linha_pendente(pl, p.nx, 4 * h + 2 + j % 2));
        if (j - 1 > f.a) gravar_pendente(p, j - 1, linha_pendente(pl, p.nx, 4 * h + 2 + (j - 1) % 2));
    }
    if (f.b - 1 > f.a) gravar_pendente(p, f.b - 1, linha_pendente(pl, p.nx, 4 * h + 2 + (f.b - 1) % 2));
}

void jacobi_fim_da_faixa(passada& p, plano_nivel& pl, faixa_linhas f, int h) {
    gravar_pendente(p, f.a, linha_pendente(pl, p.nx, 4 * h));
    if (f.b > f.a) gravar_pendente(p, f.b, linha_pendente(pl, p.nx, 4 * h + 1));
}

void com_threads(passada& p, plano_nivel& pl, equipe& eq, int n) {
    auto em_faixas = [&](auto&& fazer) { eq.executar(n, [&](int h) { fazer(faixa_da_thread(p, h, n), h); }); };
    if (p.pedido.prolongar || p.pedido.zerar)
        em_faixas([&](faixa_linhas f, int) {
            for (int j = f.a; j <= f.b; ++j) preparar_linha(p, pl, j);
        });
    const bool rb = p.pedido.suavizador == suavizador_passada::gs_rb;
    for (int s = 0; s < p.pedido.varreduras; ++s) {
        if (rb) {
            // as linhas da divisa com o núcleo escalar, que só escreve os pontos da cor: os vetoriais regravam os da
            // outra, que a faixa vizinha está lendo
            for (int paridade = 0; paridade <= 1; ++paridade)
                em_faixas([&](faixa_linhas f, int) {
                    for (int j = f.a; j <= f.b; ++j)
                        (j == f.a || j == f.b ? cor_linha : pl.pontual->cor)(p, j, paridade);
                });
        } else {
            em_faixas([&](faixa_linhas f, int h) { jacobi_bordas_da_faixa(p, pl, f, h); });
            em_faixas([&](faixa_linhas f, int h) {
                jacobi_dentro_da_faixa(p, pl, f, h);
                jacobi_fim_da_faixa(p, pl, f, h);
            });
        }
    }
    linhas_finais(p, pl, 2, p.ny - 1, 0);
}

} // namespace

void passada_pontual(passada& p, plano_nivel& pl, equipe& eq) {
    const int n = std::min(pl.fatias, p.ny - 2);
    const bool rb = p.pedido.suavizador == suavizador_passada::gs_rb;
    const std::size_t linhas = static_cast<std::size_t>(std::max(2 * p.pedido.varreduras, 4 * n));
    if (!rb && pl.pendentes.size() < linhas * static_cast<std::size_t>(p.nx + 1))
        pl.pendentes.assign(linhas * static_cast<std::size_t>(p.nx + 1), 0.0);
    if (n > 1) com_threads(p, pl, eq, n);
    else if (rb) vermelho_preto_numa_thread(p, pl);
    else jacobi_numa_thread(p, pl);
}
