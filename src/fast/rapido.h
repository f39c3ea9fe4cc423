// Passada rápida por dentro: o nível e o pedido, o plano de cada nível, os núcleos de linha e a frente de onda.
#pragma once

#include <memory>
#include <vector>

#include "fast/passada.h"

// Norma: parcelas já calculadas esperam na fila e são somadas algumas por passo dentro das varreduras seguintes,
// numa só variável, em ordem de armazenamento.
struct fila_norma {
    double soma = 0.0;
    const double* proxima = nullptr; // próxima parcela a somar
    long restantes = 0;              // parcelas ainda na fila
    int por_passo = 1;               // parcelas somadas a cada passo de varredura
};

// Uma passada por um nível (índices locais a partir de 1, P = i + (j-1)*nx).
struct passada {
    double* u = nullptr;              // T ou a correção do nível
    const double* direito = nullptr;  // lado direito do nível (nulo em T)
    int nx = 0, ny = 0;
    double ae = 0.0, an = 0.0, ap = 0.0, q = 0.0;
    const double* grossa = nullptr;   // correção do nível k-1, local (prolongação)
    double* direito_grosso = nullptr; // lado direito do nível k-1, local (restrição)
    int nxc = 0;                      // pontos por linha do nível k-1
    double omega = 1.0;               // gs-rb e jacobi
    pedido_passada pedido;
    int colunas = 0;                  // colunas internas, nx - 2
    int atraso = 1;                   // colunas de atraso de cada linha da faixa em relação à de baixo
    fila_norma fila;                  // da última fatia, a única que soma
};

// Pedaço de uma varredura: linhas j0..j0+nr-1, colunas i0..i0+w-1; no passo t a linha m faz a coluna
// i0 + t - atraso*m (o atraso da família escalar, ou o da passada nas vetoriais).
struct trecho {
    int j0, nr, i0, w;
    bool zerada; // primeira varredura de uma correção zerada: norte e leste antigos valem zero e não são lidos
    bool somar;  // soma também parcelas da fila da norma, algumas por passo
};

// Núcleos de varredura de um conjunto de instruções.
struct familia_varredura {
    int linhas;    // linhas em voo numa faixa
    bool vetorial; // atraso escolhido por nível (passada::atraso); a escalar usa o seu
    /// Todos os passos de um trecho. `anel`: memória da fatia.
    void (*varrer)(passada& p, const trecho& z, double* anel);
    /// Parcelas |(ap*T(P) - an*(S+N)) - ae*(W+E)| da linha j em d[0..nx-3].
    void (*parcelas)(const passada& p, int j, double* d);
    /// prolongar_linha com vetores.
    void (*prolongar)(const passada& p, int j, int i0, int i1);
    /// Resíduos da linha j em r[2..nx-1], com as contas do núcleo de referência (residuos_linha com vetores).
    void (*residuos)(const passada& p, int j, double* r);
    /// Vermelho-preto: os pontos (i, j) com i + j + paridade par, no lugar (cada um só lê pontos da outra cor).
    void (*cor)(const passada& p, int j, int paridade);
    /// Jacobi: os valores novos da linha j em d[2..nx-1], a partir das linhas j-1, j e j+1 de u (ainda antigas).
    void (*jacobi)(const passada& p, int j, double* d);
    /// Vermelho-preto com o operador variável: a cor da linha j, no lugar.
    void (*cor_variavel)(const nivel_variavel& v, int j, int paridade);
    /// Jacobi com o operador variável: os valores novos da linha j em d[2..nx-1], a partir das linhas j-1..j+1 de
    /// a (o nível, ou uma cópia dele, de antes da varredura).
    void (*jacobi_variavel)(const nivel_variavel& v, const double* a, int j, double* d);
    /// Vermelho-preto com o operador de nove pontos: a cor da linha j, no lugar (a linha j-1 já com a cor nova).
    void (*cor_nove)(const nivel_nove& v, int j, int paridade);
    /// Jacobi com o operador de nove pontos: os valores novos da linha j em d[2..nx-1], a partir de a.
    void (*jacobi_nove)(const nivel_nove& v, const double* a, int j, double* d);
};

extern const familia_varredura familia_escalar, familia_avx2, familia_avx512;
/// Passos de varredura no anel de uma fatia (potência de 2; o atraso vetorial vai até 16).
inline constexpr int passos_anel = 64;

// Plano de um nível: divisão das colunas entre as threads e memórias de trabalho; feito na primeira passada pelo
// nível e reaproveitado pelas seguintes (nenhuma alocação nas passadas depois dela).
struct plano_nivel {
    int nx = 0, ny = 0;
    int faixas = 0;                      // faixas de linhas em voo por varredura
    int fatias = 1;                      // threads que varrem o nível
    const familia_varredura* familia = nullptr; // varreduras
    const familia_varredura* pontual = nullptr; // parcelas e prolongação (pontuais: as mais largas que há)
    int atraso = 1;                      // das famílias vetoriais
    std::vector<int> borda;              // a fatia h tem as colunas borda[h] .. borda[h+1]-1
    std::vector<sinal> feitos;           // faixas da sequência já terminadas por cada fatia
    std::vector<long long> ultimo;       // por fatia: última faixa da sequência de cada bloco de linhas
    std::vector<double> parcelas;        // parcelas da norma de algumas linhas
    std::vector<double> aneis;           // por fatia: memória das varreduras vetoriais
    std::vector<double> residuos;        // três linhas de resíduos que giram (linha j em (j % 3)*(nx+1)): ponderações
    std::vector<double> pendentes;       // jacobi: linhas novas à espera de serem escritas (pontuais.cpp)
    std::vector<double> colunas;         // linhas em y: recorrências e um bloco de colunas (colunas.cpp)
    std::vector<double> linhas_x;        // linhas em x: recorrências das varreduras juntas (linhas_x.cpp)
    long por_anel = 0;                   // doubles de cada anel (múltiplo de 8)
};

struct planos_rapidos {
    std::vector<std::unique_ptr<plano_nivel>> lista;
};

// plano_passada.cpp
/// O conjunto de instruções das varreduras quando `pedido` é pedido: ele, se o processador o tem, senão o melhor
/// abaixo; automatico = o que mede melhor.
conjunto_instrucoes conjunto_efetivo(conjunto_instrucoes pedido);
/// O mesmo para os núcleos pontuais (parcelas da norma, prolongação): automatico = o mais largo que há.
conjunto_instrucoes conjunto_pontual(conjunto_instrucoes pedido);
/// Família de núcleos de um conjunto de instruções.
const familia_varredura& familia_de(conjunto_instrucoes c);
/// Plano do nível nx x ny desta equipe (criado na primeira vez).
plano_nivel& plano_do_nivel(equipe& eq, int nx, int ny);
/// Divide as colunas entre as fatias conforme o peso do pedido (só muda a divisão, nunca o resultado).
void dividir_colunas(plano_nivel& pl, const pedido_passada& pedido);
/// Anel de memória da fatia h, alinhado a 64 bytes.
double* anel_da_fatia(plano_nivel& pl, int h);

// frente.cpp
/// A sequência de faixas (varredura, bloco) da fatia h, com as esperas pelas fatias vizinhas; a última fatia faz
/// também restrição e norma.
void trabalhar(passada& p, plano_nivel& pl, int h, espera modo);
/// Passada sem varreduras: prolongação, zeros de uma correção zerada, restrição e norma, linha a linha.
void passada_sem_varreduras(passada& p, plano_nivel& pl);

/// Linhas fa..fb já finais: resíduos restritos e norma (já, ou pela fila quando passos > 0).
void linhas_finais(passada& p, plano_nivel& pl, int fa, int fb, long passos);

// pontuais.cpp
/// Passada com varreduras vermelho-preto ou de Jacobi (pedido.suavizador), com prolongação, restrição e norma.
void passada_pontual(passada& p, plano_nivel& pl, equipe& eq);

// pontuais_escalar.cpp: núcleos de linha escalares dos suavizadores pontuais
void cor_linha(const passada& p, int j, int paridade);
void jacobi_linha(const passada& p, int j, double* d);
/// Operador variável, a partir da coluna `desde` (os pontos da cor a partir dela; 2 na linha inteira).
void cor_variavel_linha(const nivel_variavel& v, int j, int paridade, long desde);
void jacobi_variavel_linha(const nivel_variavel& v, const double* a, int j, double* d, long desde);
void cor_nove_linha(const nivel_nove& v, int j, int paridade, long desde);
void jacobi_nove_linha(const nivel_nove& v, const double* a, int j, double* d, long desde);

// restricao_ponderada.cpp
/// A linha j (crescente, de 2 a ny-1, cada uma uma vez por passada) ficou com os resíduos calculáveis: guarda os
/// dela e, com j = 2J, escreve a linha grossa J da meia ponderação ou da completa.
void restringir_ponderada(const passada& p, plano_nivel& pl, int j);

// varredura_escalar.cpp: núcleos de linha escalares
/// Soma à linha j (colunas i0..i1) a interpolação bilinear da correção grossa; numa correção zerada escreve 0 + v.
void prolongar_linha(const passada& p, int j, int i0, int i1);
/// Resíduo nos pontos da linha fina j = 2J-1 que coincidem com o nível k-1, escrito no lado direito de k-1.
void restringir_linha(const passada& p, int j);
/// s + parcelas da linha j, na ordem do armazenamento.
double somar_linha(const passada& p, int j, double s);
/// Parcelas da norma da linha j, escalar.
void parcelas_linha(const passada& p, int j, double* d);
/// Resíduos da linha j em r[2..nx-1], escalar.
void residuos_linha(const passada& p, int j, double* r);
/// Soma o que ainda está na fila, em ordem.
void esvaziar_fila(fila_norma& f);
/// Passos [t0, t1) de um trecho com atraso `atraso`, ponto a ponto (só as linhas que têm coluna no passo).
void passos_bordas(const passada& p, const trecho& z, int atraso, int t0, int t1);
/// Todos os passos de um trecho, com linhas em voo escalares (até 8 de cada vez).
void varrer_escalar(passada& p, const trecho& z, double* anel);
