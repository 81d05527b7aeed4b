#!/usr/bin/perl
# Deterministic price-list data file for the benchmark, written to standard
# output as UTF-8.
#
#   bench/make_data.pl RECORDS [--cyrillic]
#
# Each record has an id, a name of 10 to 40 characters, a description of 60
# to 300 characters of words with an occasional ", ", and a price. With
# --cyrillic about half of the words are Russian. The same arguments always
# give the same bytes: the numbers come from a fixed linear congruential
# generator, not from Perl's rand.
use strict;
use warnings;
use utf8;

my $records = shift // die "usage: make_data.pl RECORDS [--cyrillic]\n";
my $cyrillic = (shift // '') eq '--cyrillic';
binmode STDOUT, ':encoding(UTF-8)';

my @latin = qw(garden steel handle blade spade fork trowel compost seed tray
  lid hose pipe reel canes twine rake tines barrow tyre pad feeder lawn mix
  brass copper timber oak ash pine frame bracket hinge screw bolt washer
  nut rivet clamp strap hook ring chain rope net cover sheet panel board);
my @russian = qw(лопата вилы совок грабли шланг лейка ведро тачка секатор
  ножницы перчатки семена рассада горшок ящик поддон крышка сетка верёвка
  шпагат колышек опора решётка скамья стол стул зонт фонарь насос бочка);

my $state = 12345;
sub next_number {
  my ($limit) = @_;
  $state = ($state * 1103515245 + 12345) % 2147483648;
  return int($state / 65536) % $limit;
}

sub word {
  my $list = ($cyrillic && next_number(2)) ? \@russian : \@latin;
  return $list->[next_number(scalar @$list)];
}

# Words up to a length drawn between min and max, cut to it.
sub phrase {
  my ($min, $max, $commas) = @_;
  my $length = $min + next_number($max - $min + 1);
  my $text = word();
  while (length($text) < $length) {
    $text .= ($commas && next_number(8) == 0) ? ', ' : ' ';
    $text .= word();
  }
  $text = substr($text, 0, $length);
  $text =~ s/[ ,]+$//;
  $text .= 'x' x ($min - length($text)) if length($text) < $min;
  return $text;
}

print "&1;Price list\n&2;01.03.2024\n&3;GBP\n";
for my $i (1 .. $records) {
  my $name = ucfirst(phrase(10, 40, 0));
  my $description = phrase(60, 300, 1);
  my $price = sprintf('%d.%02d', next_number(2000), next_number(100));
  print "\$1;$i\$2;$name\$3;$description\$4;$price\@\n";
}
