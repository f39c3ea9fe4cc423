// Núcleos rápidos: as contas dos núcleos de referência, bit a bit, noutra ordem de visita.
//
// Por que os bits são os mesmos. Numa varredura lexicográfica o ponto (i, j) lê oeste e sul já desta varredura e
// leste e norte ainda da anterior; toda ordem que respeite essas dependências (e que leia cada valor antes de ele
// ser sobrescrito) faz cada atualização com os mesmos operandos. Aqui:
//  - as linhas andam em faixas de R linhas em voo, cada linha L colunas atrás da de baixo, o que dá R recorrências
//    independentes para o processador sobrepor; o oeste passa por registrador, com o mesmo valor da memória;
//  - a varredura s do bloco de linhas b vem, na sequência das faixas, depois da varredura s-1 do bloco b+1 (chave
//    b + 2s), de modo que as nitm varreduras, a injeção de resíduos e a norma saem numa só passada pela memória;
//  - com várias threads, cada uma varre uma fatia de colunas de todas as faixas da sequência; antes de (s, b) a
//    fatia h espera a h-1 terminar (s, b), que lhe dá o oeste já novo, e a h+1 terminar (s-1, b), que lhe dá o
//    leste ainda da varredura anterior;
//  - prolongação e restrição são pontuais; as parcelas da norma são calculadas à parte, mas somadas numa só
//    variável, numa só thread, em ordem de armazenamento (algumas por passo, dentro das varreduras seguintes).
// Cada conta é escrita como no núcleo de referência: mesmos operandos, mesmo agrupamento.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

#include "solver/solver.h"

namespace {

constexpr int R = 8;                   // linhas em voo numa faixa
constexpr int L = 4;                   // colunas de atraso de cada linha da faixa em relação à de baixo
// pontos internos a partir dos quais o nível usa várias threads: criar uma thread custa 0,1-0,3 ms aqui, mais que
// o ganho numa passada de 513 x 513
constexpr long MINIMO_THREADS = 1L << 19;

// Contador monótono que uma thread publica; quem espera gira um pouco e depois dorme (futex).
struct sinal {
    alignas(64) std::atomic<long long> valor{0};
    std::atomic<int> dormindo{0};
};

void publicar(sinal& s, long long v) {
    s.valor.store(v);
    if (s.dormindo.load() != 0) s.valor.notify_all();
}

void esperar(sinal& s, long long alvo) {
    for (int n = 0; n < 4000; ++n) {
        if (s.valor.load(std::memory_order_acquire) >= alvo) return;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    for (;;) {
        s.dormindo.fetch_add(1);
        const long long v = s.valor.load();
        if (v < alvo) s.valor.wait(v);
        s.dormindo.fetch_sub(1);
        if (s.valor.load(std::memory_order_acquire) >= alvo) return;
    }
}

// Uma passada por um nível: prolongação, nvarr varreduras, restrição e norma, conforme pedido.
struct passada {
    // nível (índices locais a partir de 1, P = i + (j-1)*nx)
    double* u = nullptr;       // T ou a correção do nível
    const double* r = nullptr; // lado direito do nível (nulo em T)
    int nx = 0, ny = 0;
    double ae = 0.0, an = 0.0, ap = 0.0, q = 0.0;
    int nvarr = 0;
    // nível grosso abaixo (prolongação e restrição)
    const double* cg = nullptr; // correção do nível k-1, local
    double* rg = nullptr;       // lado direito do nível k-1, local
    int nxc = 0;
    bool prolongar = false, restringir = false, norma = false;
    // divisão do trabalho: ngs threads varrem fatias de colunas; a última faz também restrição e norma
    int W = 0, B = 0;          // colunas internas, blocos de R linhas
    int ngs = 1;
    std::vector<int> borda;    // a fatia h tem as colunas borda[h] .. borda[h+1]-1
    std::vector<sinal> feitos; // faixas da sequência já terminadas por cada fatia
    // norma: parcelas já calculadas esperam na fila e são somadas K por passo dentro das varreduras seguintes
    double soma = 0.0;
    std::vector<double> parcelas; // algumas linhas
    const double* fila = nullptr;
    long na_fila = 0;
    int K = 1;
};

double* linha(const passada& p, int j) { return p.u + (j - 1) * static_cast<long>(p.nx); }

// Soma a interpolação bilinear da correção grossa à linha j, colunas i0..i1 (mesmas contas de prolongar). O ponto
// grosso de i é I = (i-1)/2 + 1; o laço anda por I, com o par i = 2I (entre I e I+1) e i = 2I+1 (sobre I+1).
void prolongar_linha(const passada& p, int j, int i0, int i1) {
    double* d = linha(p, j);
    const double* c = p.cg + ((j - 1) / 2) * static_cast<long>(p.nxc); // c[I] = cor(I, J)
    const double* n = c + p.nxc;                                       // n[I] = cor(I, J+1)
    const bool coincide = j % 2 == 1;
    auto par = [&](int i) { // i = 2I
        const int I = i / 2;
        d[i] += coincide ? 0.5 * (c[I] + c[I + 1]) : 0.25 * (c[I] + c[I + 1] + n[I] + n[I + 1]);
    };
    auto impar = [&](int i) { // i = 2I-1
        const int I = (i + 1) / 2;
        d[i] += coincide ? c[I] : 0.5 * (c[I] + n[I]);
    };
    int i = i0;
    if (i <= i1 && i % 2 == 1) impar(i++);
    // i par daqui em diante: pares (i, i+1) enquanto couberem
    const int I0 = i / 2, I1 = (i1 - 1) / 2; // pares com 2I+1 <= i1
    if (coincide) {
        for (int I = I0; I <= I1; ++I) {
            d[2 * I] += 0.5 * (c[I] + c[I + 1]);
            d[2 * I + 1] += c[I + 1];
        }
    } else {
        for (int I = I0; I <= I1; ++I) {
            d[2 * I] += 0.25 * (c[I] + c[I + 1] + n[I] + n[I + 1]);
            d[2 * I + 1] += 0.5 * (c[I + 1] + n[I + 1]);
        }
    }
    i = 2 * std::max(I0, I1 + 1);
    if (i <= i1) par(i);
}

// Resíduo nos pontos da linha fina j = 2J-1 que coincidem com o nível k-1 (mesmas contas de restringir_residuo).
void restringir_linha(const passada& p, int j) {
    const int nx = p.nx, nxc = p.nxc;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* t = linha(p, j);
    double* d = p.rg + ((j - 1) / 2) * static_cast<long>(nxc);
    if (p.r == nullptr) {
        for (int I = 2; I <= nxc - 1; ++I) {
            const int P = 2 * I - 1;
            d[I] = ae * (t[P - 1] + t[P + 1]) + an * (t[P - nx] + t[P + nx]) - ap * t[P];
        }
    } else {
        const double* f = p.r + (j - 1) * static_cast<long>(nx);
        for (int I = 2; I <= nxc - 1; ++I) {
            const int P = 2 * I - 1;
            d[I] = f[P] + ae * (t[P - 1] + t[P + 1]) + an * (t[P - nx] + t[P + nx]) - ap * t[P];
        }
    }
}

// s + |(ap*T(P) - an*(S+N)) - ae*(W+E)| ao longo da linha j, na ordem do armazenamento.
double somar_linha(const passada& p, int j, double s) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* l = linha(p, j);
    for (int i = 2; i <= nx - 1; ++i)
        s = s + std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
    return s;
}

// Parcelas |(ap*T(P) - an*(S+N)) - ae*(W+E)| da linha j, em d[0..W-1].
void parcelas_linha(const passada& p, int j, double* d) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, ap = p.ap;
    const double* l = linha(p, j);
    for (int i = 2; i <= nx - 1; ++i)
        d[i - 2] = std::fabs((ap * l[i] - an * (l[i - nx] + l[i + nx])) - ae * (l[i - 1] + l[i + 1]));
}

// Soma o que ainda está na fila, em ordem.
void esvaziar_fila(passada& p) {
    double s = p.soma;
    for (long m = 0; m < p.na_fila; ++m) s = s + p.fila[m];
    p.soma = s;
    p.na_fila = 0;
}

// Linhas fa..fb já finais: resíduos injetados e a norma, somada em ordem: já, ou, se passos > 0, pela fila (o que
// restava nela é somado antes), K parcelas por passo nos próximos `passos` passos de varredura.
void finais(passada& p, int fa, int fb, long passos) {
    if (p.restringir)
        for (int j = fa; j <= fb; ++j)
            if (j % 2 == 1 && j >= 3 && j <= p.ny - 2) restringir_linha(p, j);
    if (!p.norma) return;
    if (passos <= 0) {
        for (int j = fa; j <= fb; ++j) p.soma = somar_linha(p, j, p.soma);
        return;
    }
    esvaziar_fila(p);
    double* d = p.parcelas.data();
    long n = 0;
    for (int j = fa; j <= fb; ++j, n += p.W) parcelas_linha(p, j, d + n);
    p.fila = d;
    p.na_fila = n;
    p.K = static_cast<int>(std::clamp((n + passos - 1) / passos, 1L, 16L));
}

// Linhas que ficam finais quando a última varredura do bloco b termina.
void finais_do_bloco(passada& p, int b, long passos) {
    const int j0 = 2 + b * R, nr = std::min(R, p.ny - j0);
    finais(p, std::max(2, j0 - 1), b == p.B - 1 ? p.ny - 1 : j0 + nr - 2, passos);
}

// Uma atualização de Gauss-Seidel lida e escrita na memória, no ponto i da linha l (lado direito f).
template <bool DIREITO>
inline void atualizar(const passada& p, double* l, const double* f, int i) {
    const int nx = p.nx;
    double v = p.an * (l[i - nx] + l[i + nx]) + p.ae * (l[i - 1] + l[i + 1]);
    if constexpr (DIREITO) v = v + f[i];
    l[i] = v * p.q;
}

// Pedaço de uma varredura: linhas j0..j0+nr-1, colunas i0..i0+w-1. No passo t a linha m faz a coluna i0+t-L*m.
struct trecho {
    int j0, nr, i0, w;
};

// Passos de [t0, t1) em que nem todas as linhas têm coluna.
template <bool DIREITO>
void passos_bordas(const passada& p, const trecho& z, int t0, int t1) {
    for (int t = t0; t < t1; ++t)
        for (int m = 0; m < z.nr; ++m) {
            const int c = t - L * m;
            if (c < 0 || c >= z.w) continue;
            const long o = (z.j0 + m - 1) * static_cast<long>(p.nx);
            atualizar<DIREITO>(p, p.u + o, DIREITO ? p.r + o : nullptr, z.i0 + c);
        }
}

// Passos de [t0, t1) em que todas as NR linhas têm coluna: o oeste vem por registrador, com o mesmo valor que
// está na memória. O atraso de L colunas por linha espalha as linhas da faixa por conjuntos diferentes da cache
// (com um atraso de 1 e nx-1 múltiplo de 512 cairiam todas no mesmo). Com SOMAR, cada passo soma também K
// parcelas da fila da norma: a cadeia de adições da soma corre junto com as varreduras em vez de depois delas.
template <int NR, bool DIREITO, bool SOMAR>
void passos_regime(passada& p, const trecho& z, int t0, int t1) {
    const int nx = p.nx;
    const double ae = p.ae, an = p.an, q = p.q;
    const int K = p.K;
    long cheios = 0;
    const double* pf = nullptr;
    double sm = 0.0;
    if constexpr (SOMAR) {
        cheios = std::min<long>(t1 - t0, p.na_fila / K);
        pf = p.fila;
        sm = p.soma;
    }
    double* l[NR];
    const double* f[NR];
    double w[NR];
    for (int m = 0; m < NR; ++m) {
        const long o = (z.j0 + m - 1) * static_cast<long>(nx) + (z.i0 + t0 - L * m);
        l[m] = p.u + o;
        f[m] = DIREITO ? p.r + o : nullptr;
        w[m] = l[m][-1];
    }
    for (int n = 0; n < t1 - t0; ++n) {
        // lados direitos lidos antes das escritas do passo: cor e res costumam distar um múltiplo de 4 KiB, e com
        // nx-1 múltiplo de 512 a leitura de res logo após a escrita da linha de cima seria tida por dependente dela
        double d[NR];
        if constexpr (DIREITO)
            for (int m = 0; m < NR; ++m) d[m] = f[m][n];
        if constexpr (SOMAR)
            if (n < cheios) {
                for (int k = 0; k < K; ++k) sm = sm + pf[k];
                pf += K;
            }
#pragma GCC unroll 8
        for (int m = NR - 1; m >= 0; --m) {
            double* x = l[m] + n;
            double v = an * (x[-nx] + x[nx]) + ae * (w[m] + x[1]);
            if constexpr (DIREITO) v = v + d[m];
            v = v * q;
            x[0] = v;
            w[m] = v;
        }
    }
    if constexpr (SOMAR) {
        p.fila = pf;
        p.na_fila -= cheios * K;
        p.soma = sm;
    }
}

template <bool DIREITO, bool SOMAR>
void regime(passada& p, const trecho& z, int a, int b) {
    switch (z.nr) {
    case 1: passos_regime<1, DIREITO, SOMAR>(p, z, a, b); break;
    case 2: passos_regime<2, DIREITO, SOMAR>(p, z, a, b); break;
    case 3: passos_regime<3, DIREITO, SOMAR>(p, z, a, b); break;
    case 4: passos_regime<4, DIREITO, SOMAR>(p, z, a, b); break;
    case 5: passos_regime<5, DIREITO, SOMAR>(p, z, a, b); break;
    case 6: passos_regime<6, DIREITO, SOMAR>(p, z, a, b); break;
    case 7: passos_regime<7, DIREITO, SOMAR>(p, z, a, b); break;
    default: passos_regime<R, DIREITO, SOMAR>(p, z, a, b); break;
    }
}

// Todos os passos de um trecho: bordas, regime (L*(NR-1) <= t <= w-1), bordas; somando a fila se somar.
template <bool DIREITO>
void varrer(passada& p, const trecho& z, bool somar) {
    const int nt = z.w + L * (z.nr - 1), a = L * (z.nr - 1), b = z.w;
    if (a >= b) {
        passos_bordas<DIREITO>(p, z, 0, nt);
        return;
    }
    passos_bordas<DIREITO>(p, z, 0, a);
    if (somar && p.na_fila > 0) regime<DIREITO, true>(p, z, a, b);
    else regime<DIREITO, false>(p, z, a, b);
    passos_bordas<DIREITO>(p, z, b, nt);
}

// Fatias de colunas de trabalho parecido: a última, que faz também restrição e norma, fica mais estreita
// (custos em atualizações por ponto, aproximados; só mudam a divisão, nunca o resultado).
void dividir(passada& p) {
    const double unidades = p.nvarr + (p.prolongar ? 0.8 : 0.0);
    const double extra = ((p.norma ? 1.0 : 0.0) + (p.restringir ? 0.3 : 0.0)) / unidades;
    const double largura = p.W * (1.0 + extra) / p.ngs;
    p.borda.assign(static_cast<std::size_t>(p.ngs) + 1, 2);
    for (int h = 1; h < p.ngs; ++h)
        p.borda[static_cast<std::size_t>(h)] =
            std::clamp(2 + static_cast<int>(largura * h), 2 + h, p.W + 1 - (p.ngs - h));
    p.borda[static_cast<std::size_t>(p.ngs)] = p.nx;
}

// Percorre a sequência das faixas (s, b) em ordem de chave b + 2s, s crescente na mesma chave, varrendo a fatia
// de colunas h; a última fatia faz também restrição e norma. Antes de (s, b), a fatia h espera a fatia h-1
// terminar (s, b) (o oeste da sua primeira coluna) e a fatia h+1 terminar (s-1, b) (o leste da sua última).
void trabalhar(passada& p, int h) {
    std::vector<long long> ultimo(static_cast<std::size_t>(p.B), -1); // última faixa da sequência de cada bloco
    const int i0 = p.borda[static_cast<std::size_t>(h)], i1 = p.borda[static_cast<std::size_t>(h) + 1] - 1;
    const bool pos = h == p.ngs - 1, avisa = p.ngs > 1;
    long long g = 0;
    const int tmax = (p.B - 1) + 2 * (p.nvarr - 1);
    for (int t = 0; t <= tmax; ++t) {
        const int smin = std::max(0, (t - (p.B - 1) + 1) / 2), smax = std::min(p.nvarr - 1, t / 2);
        for (int s = smin; s <= smax; ++s, ++g) {
            const int b = t - 2 * s;
            const long long anterior = ultimo[static_cast<std::size_t>(b)];
            ultimo[static_cast<std::size_t>(b)] = g;
            const int j0 = 2 + b * R, nr = std::min(R, p.ny - j0);
            {
                if (h > 0) esperar(p.feitos[static_cast<std::size_t>(h - 1)], g + 1);
                if (h < p.ngs - 1 && anterior >= 0) esperar(p.feitos[static_cast<std::size_t>(h + 1)], anterior + 1);
                if (s == 0 && p.prolongar) {
                    // cada fatia prolonga também a primeira coluna da seguinte, que ela lê como leste
                    const int a = h == 0 ? 2 : i0 + 1, z = h == p.ngs - 1 ? p.nx - 1 : i1 + 1;
                    for (int j = (b == 0 ? 2 : j0 + 1); j <= std::min(j0 + nr, p.ny - 1); ++j)
                        prolongar_linha(p, j, a, z);
                }
                // as linhas de cache da divisa com as fatias vizinhas, pedidas juntas em vez de uma falta por linha
                for (int j = j0 - 1; j <= j0 + nr; ++j) {
                    const double* l = linha(p, j);
                    if (h > 0) __builtin_prefetch(l + i0 - 1, 1);
                    if (h < p.ngs - 1) __builtin_prefetch(l + i1 + 1, 1);
                }
                const trecho tr{j0, nr, i0, i1 - i0 + 1};
                if (p.r == nullptr) varrer<false>(p, tr, pos && p.norma);
                else varrer<true>(p, tr, false);
                if (avisa) publicar(p.feitos[static_cast<std::size_t>(h)], g + 1);
            }
            if (pos && s == p.nvarr - 1 && (p.restringir || p.norma))
                finais_do_bloco(p, b, static_cast<long>(i1 - i0 + 1) * p.nvarr);
        }
    }
    if (pos && p.norma) esvaziar_fila(p);
}

} // namespace

void passada_rapida(estado_execucao& e, const pedido_passada& pedido, equipe& eq) {
    const bool prolongar = pedido.prolongar, restringir = pedido.restringir, norma = pedido.norma;
    passada p;
    const bool em_T = e.nm == 1 || e.k == e.nm;
    p.u = em_T ? e.T.data() : e.cor.data() + e.ofsk;
    p.r = em_T ? nullptr : e.res.data() + e.ofsk;
    p.nx = e.nxk;
    p.ny = e.nyk;
    p.ae = e.ae;
    p.an = e.an;
    p.ap = e.ap;
    p.q = 1.0 / e.ap;
    p.nvarr = pedido.varreduras;
    p.prolongar = prolongar;
    p.restringir = restringir;
    p.norma = norma;
    if (prolongar || restringir) {
        const long ofc = e.ofsk - static_cast<long>(e.nxyg[e.k - 1]);
        p.cg = e.cor.data() + ofc;
        p.rg = e.res.data() + ofc;
        p.nxc = e.nxg[e.k - 1];
    }
    p.W = p.nx - 2;
    const int linhas = p.ny - 2;
    if (p.W <= 0 || linhas <= 0) {
        if (norma) e.rnorm = 0.0;
        return;
    }
    p.B = (linhas + R - 1) / R;
    if (p.nvarr <= 0) {
        if (prolongar)
            for (int j = 2; j <= p.ny - 1; ++j) prolongar_linha(p, j, 2, p.nx - 1);
        finais(p, 2, p.ny - 1, 0);
        if (norma) e.rnorm = p.soma;
        return;
    }
    const long interior = static_cast<long>(p.W) * linhas;
    const int n = interior >= MINIMO_THREADS ? eq.tamanho() : 1;
    p.ngs = std::max(1, std::min(n, p.W / 2));
    if (norma) p.parcelas.resize(static_cast<std::size_t>(p.W) * (R + 1));
    dividir(p);
    p.feitos = std::vector<sinal>(static_cast<std::size_t>(p.ngs));
    eq.executar(p.ngs, [&p](int h) { trabalhar(p, h); });
    if (norma) e.rnorm = p.soma;
}
