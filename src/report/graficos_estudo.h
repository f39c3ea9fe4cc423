// O plano das figuras de um estudo, entre quem escolhe as curvas (plano_graficos_estudo.cpp), quem as desenha com a
// legenda (curvas_estudo.cpp) e quem escreve os dados e o roteiro (graficos_estudo.cpp): as curvas de cada figura,
// já sem as degeneradas e com as iguais fundidas.
#pragma once

#include <string>
#include <vector>

#include "report/listagem.h"

// As colunas do arquivo de dados do estudo (PREFIXO-estudo.dat), um bloco por série: mu_lfa e o rho da LFA de k
// níveis (o maior k que o estudo tem) vieram depois.
enum coluna_estudo : int {
    col_x = 1, col_q = 2, col_rho = 3, col_cpu = 4, col_cpu_min = 5, col_cpu_max = 6, col_n = 7, col_mu = 8,
    col_rho_k = 9
};

// Em que figura uma curva está: a do fator (q e rho com linhas e marcadores), a do tempo, ou a da teoria contra a
// medida (mu, rho e rho de k níveis como linhas, q medido como pontos, escala linear).
enum class figura_estudo { fator, tempo, teoria };

// Uma curva: uma quantidade de uma série, ou de várias séries com exatamente os mesmos pontos, fundidas numa só.
struct curva_estudo {
    std::vector<std::size_t> series; // índices das séries; a primeira dá o bloco e a cor
    int coluna = col_q;              // a coluna do valor no arquivo de dados
    std::string quantidade;          // "q medido", "rho LFA", ...
    std::string rotulo;              // as séries em palavras ("restricao=full ciclo=V,W"); vazio: a tabela é uma série
};

// As curvas de cada figura (uma figura sem curva não é desenhada) e as notas do que ficou de fora e por quê.
struct plano_estudo {
    std::vector<curva_estudo> fator, tempo, erro_h;
    std::vector<curva_estudo> teoria; // mu, rho, rho de k níveis (linhas) e q medido (pontos) contra o eixo
    int k_teoria = 0;                 // o k da curva de rho de k níveis (0: nenhuma rodada o tem)
    bool barras_de_tempo = false;    // alguma rodada tem menor < maior nos tempos de --repeat
    std::vector<std::string> notas;
};

// As figuras de um estudo, com a extensão do formato.
struct arquivos_estudo {
    std::string dados, dados_h, roteiro, fator, tempo, erro_h;
    formato_figura formato = formato_figura::svg;
    std::string teoria;              // PREFIXO-lfa: a teoria contra a medida
};

/// O plano das três figuras: séries degeneradas para a escala logarítmica (todas zero, sem valor, um ponto só) fora,
/// com a nota; séries da mesma quantidade com os mesmos pontos fundidas numa curva de rótulo comum.
plano_estudo planejar_graficos_estudo(const tabela_estudo& t, const arquivos_estudo& a);
/// O rótulo comum de séries fundidas: cada parâmetro com o seu valor, ou com os valores das séries separados por
/// vírgula quando eles diferem ("restricao=full ciclo=V,W").
std::string rotulo_fundido(const std::vector<serie_estudo>& series, const std::vector<std::size_t>& quais);

// ---- As curvas e a legenda das figuras de fator e de tempo (curvas_estudo.cpp).
// Um eixo x: categorias, N ou o valor do parâmetro; e o que ele diz no título.
struct eixo_x {
    std::string nome;
    bool categorias = false;
};

// As entradas da legenda e o texto das curvas de uma figura de uma ou duas quantidades. Com várias séries e duas
// quantidades, a legenda é fatorada: uma entrada por série (a cor) e uma por quantidade (o marcador, em preto); uma
// curva fundida de várias séries tem a sua própria entrada. Com uma série só, cada curva diz a sua quantidade.
struct legenda {
    std::vector<std::string> entradas; // textos, para o tamanho da legenda
    std::string extras;                // as entradas sem curva ("keyentry")
};

// O pedido das curvas de uma figura de fator ou de tempo: em categorias, os pontos de cada série deslocados dentro da categoria
// (a curva fundida aparece em cada uma das suas séries, na cor dela); senão, uma curva por série ou fundida.
struct pedido_figura {
    const std::vector<curva_estudo>* curvas;
    bool fatorada;     // legenda fatorada (várias séries, duas quantidades)
    bool barras;       // tempo com as barras do menor ao maior de --repeat
    figura_estudo figura = figura_estudo::fator;
};

/// Um número para o roteiro ("?" quando não é finito: o gnuplot o lê como ausente).
std::string numero_gp(double v);
/// A cor da série i ("lc rgb '#...'"), oito que se distinguem, repetidas depois.
std::string cor_da_serie(std::size_t i);
/// O eixo x das figuras de fator e de tempo, escrito em `gp`: marcas das categorias, N em escala logarítmica (eixo
/// de grade) ou o valor do parâmetro (escala logarítmica quando atravessa duas décadas).
eixo_x preparar_eixo(const tabela_estudo& t, std::string& gp);
/// A legenda fatorada de uma figura de várias séries e duas quantidades: uma entrada por série e uma por quantidade.
legenda legenda_fatorada(const std::vector<curva_estudo>& curvas, const std::vector<serie_estudo>& series,
                         bool categorias, figura_estudo figura = figura_estudo::fator);
/// O texto "plot" das curvas pedidas, com as entradas que elas dão à legenda `l`.
std::string curvas_da_figura(const tabela_estudo& t, const eixo_x& e, const pedido_figura& p, legenda& l);
